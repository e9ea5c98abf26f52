.pragma library

// "{0} of {1}".format(a, b): every {n} whose argument is given is replaced by it,
// the others stay as they are. Installed once; every script of the scene sees it.
if (typeof String.prototype.format !== 'function') {
    String.prototype.format = function () {
        var args = arguments;
        return this.replace(/\{(\d+)\}/g, function (match, index) {
            var i = parseInt(index, 10);
            return i < args.length && typeof args[i] !== 'undefined' ? String(args[i]) : match;
        });
    };
}

function installed() {
    return typeof String.prototype.format === 'function';
}

// A text from a language file, a peer or a file, made safe to embed in styled or rich text:
// its markup characters are shown as they are, never interpreted.
function escaped(text) {
    return String(text).replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;")
}
