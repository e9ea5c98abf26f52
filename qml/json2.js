.pragma library

// JSON writer for the WLAN settings file, whose readers expect this layout:
// every member and element on its own line, "key": value, and members separated by
// ", " and a line break (so the lines of all members but the last end in ", ").
// Values follow JSON.stringify: undefined and functions are left out of objects and
// become null in arrays, non-finite numbers are null, toJSON() is honoured.

// Quotes, backslashes, control characters and the two line separators are escaped.
var escapable = /[\\"\u0000-\u001f\u007f-\u009f\u2028\u2029]/g;
var meta = { '\b': '\\b', '\t': '\\t', '\n': '\\n', '\f': '\\f', '\r': '\\r', '"': '\\"', '\\': '\\\\' };

function quote(text) {
    return '"' + text.replace(escapable, function (c) {
        var m = meta[c];
        return typeof m === 'string' ? m : '\\u' + ('0000' + c.charCodeAt(0).toString(16)).slice(-4);
    }) + '"';
}

function write(holder, key, replacer, gap, indent) {
    var value = holder[key];
    if (value && typeof value === 'object' && typeof value.toJSON === 'function')
        value = value.toJSON(key);
    if (typeof replacer === 'function')
        value = replacer.call(holder, key, value);

    switch (typeof value) {
    case 'string':
        return quote(value);
    case 'number':
        return isFinite(value) ? String(value) : 'null';
    case 'boolean':
        return String(value);
    case 'object':
        break;
    default:
        return undefined;
    }
    if (value === null)
        return 'null';
    if (value instanceof String)
        return quote(String(value));
    if (value instanceof Number)
        return isFinite(value) ? String(Number(value)) : 'null';
    if (value instanceof Boolean)
        return String(value.valueOf());

    var inner = indent + gap;
    var parts = [];
    var i, v;
    var isArray = Object.prototype.toString.apply(value) === '[object Array]';
    if (isArray) {
        for (i = 0; i < value.length; ++i) {
            v = write(value, i, replacer, gap, inner);
            parts.push(v === undefined ? 'null' : v);
        }
    } else {
        var keys = Array.isArray(replacer) ? replacer : Object.keys(value);
        for (i = 0; i < keys.length; ++i) {
            var k = String(keys[i]);
            if (!Object.prototype.hasOwnProperty.call(value, k))
                continue;
            v = write(value, k, replacer, gap, inner);
            if (v !== undefined)
                parts.push(quote(k) + (gap ? ': ' : ':') + v);
        }
    }
    var open = isArray ? '[' : '{';
    var close = isArray ? ']' : '}';
    if (parts.length === 0)
        return open + close;
    if (!gap)
        return open + parts.join(',') + close;
    return open + '\n' + inner + parts.join(', \n' + inner) + '\n' + indent + close;
}

// stringify(value[, replacer[, space]]): space is a number of blanks or a text.
function stringify(value, replacer, space) {
    var gap = '';
    if (typeof space === 'number')
        gap = '          '.substring(0, Math.max(0, Math.min(10, space)));
    else if (typeof space === 'string')
        gap = space.substring(0, 10);
    if (replacer && typeof replacer !== 'function' && !Array.isArray(replacer))
        throw new Error('json2.stringify: bad replacer');
    return write({ '': value }, '', replacer, gap, '');
}

function parse(text) {
    return JSON.parse(text);
}
