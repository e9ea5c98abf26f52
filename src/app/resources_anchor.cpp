// Anchor of the resource library (the resources themselves are generated).
