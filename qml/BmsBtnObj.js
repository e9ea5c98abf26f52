.pragma library

// The key-bit table: per key bit (0 left, 1 middle, 2 right) whether its press was sent
// and its release is due (pressed), and whether it went down while presses were not being
// sent (pressed_outside).
var bits = [
    { pressed: false, pressed_outside: false },
    { pressed: false, pressed_outside: false },
    { pressed: false, pressed_outside: false }
]

function reset_inside() {
    for (var i = 0; i < bits.length; ++i)
        bits[i].pressed = false
}

function reset() {
    for (var i = 0; i < bits.length; ++i) {
        bits[i].pressed = false
        bits[i].pressed_outside = false
    }
}
