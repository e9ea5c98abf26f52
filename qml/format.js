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
