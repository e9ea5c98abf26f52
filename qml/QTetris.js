// Rules of the block game: the well, the pieces, collisions, placing and row removal.
// The screen (QTetris.qml) owns the items and timers and hands itself to init().

var CELL = 16
var COLS = 10
var ROWS = 18
var MAX_LINES = 30
var scoreVec = [0, 1, 3, 5, 10]

// The seven pieces: occupancy per rotation (d0, d90, d180, d270), row by row.
var kinds = [
    { name: 'I', color: "cyan", size: 5, startOffX: 3, startOffY: 2, preOffX: 0, preOffY: 8,
      rot: [["00000", "00000", "01111", "00000", "00000"],
            ["00000", "00100", "00100", "00100", "00100"],
            ["00000", "00000", "11110", "00000", "00000"],
            ["00100", "00100", "00100", "00100", "00000"]] },
    { name: 'J', color: "blue", size: 3, startOffX: 1, startOffY: 0, preOffX: -8, preOffY: 0,
      rot: [["100", "111", "000"], ["011", "010", "010"], ["000", "111", "001"], ["010", "010", "110"]] },
    { name: 'L', color: "orange", size: 3, startOffX: 1, startOffY: 0, preOffX: -8, preOffY: 0,
      rot: [["001", "111", "000"], ["010", "010", "011"], ["000", "111", "100"], ["110", "010", "010"]] },
    { name: 'O', color: "yellow", size: 2, startOffX: 1, startOffY: 0, preOffX: 0, preOffY: 0,
      rot: [["11", "11"], ["11", "11"], ["11", "11"], ["11", "11"]] },
    { name: 'S', color: "green", size: 3, startOffX: 1, startOffY: 0, preOffX: -8, preOffY: 0,
      rot: [["011", "110", "000"], ["010", "011", "001"], ["000", "011", "110"], ["100", "110", "010"]] },
    { name: 'T', color: "purple", size: 3, startOffX: 1, startOffY: 0, preOffX: -8, preOffY: 0,
      rot: [["010", "111", "000"], ["010", "011", "010"], ["000", "111", "010"], ["010", "110", "010"]] },
    { name: 'Z', color: "red", size: 3, startOffX: 1, startOffY: 0, preOffX: -8, preOffY: 0,
      rot: [["110", "011", "000"], ["001", "011", "010"], ["000", "110", "011"], ["010", "110", "100"]] }
]

var ui = null
var board = []
var current = null  // { kind, rot, item }
var next = null
var lines = MAX_LINES
var level = 0
var score = 0

// Numbers in [0, 1). The operator's game draws from Math.random; tests seed their own.
var random = Math.random

function setSeed(seed) {
    var s = seed >>> 0
    random = function () {
        // mulberry32
        s = (s + 0x6D2B79F5) >>> 0
        var t = s
        t = Math.imul(t ^ (t >>> 15), t | 1)
        t ^= t + Math.imul(t ^ (t >>> 7), t | 61)
        return ((t ^ (t >>> 14)) >>> 0) / 4294967296
    }
}

function init(screen) {
    ui = screen
    emptyBoard()
}

function emptyBoard() {
    board = []
    for (var i = 0; i < COLS * ROWS; ++i)
        board.push(null)
}

function cells(kind, rot) {
    var rows = kinds[kind].rot[rot]
    var out = []
    for (var r = 0; r < rows.length; ++r)
        for (var c = 0; c < rows[r].length; ++c)
            if (rows[r].charAt(c) === '1')
                out.push([r, c])
    return out
}

function makePiece(kind) {
    var k = kinds[kind]
    var item = ui.pieceComponent.createObject(ui, { size: k.size })
    var occupied = cells(kind, 0)
    for (var i = 0; i < occupied.length; ++i)
        ui.blockComponent.createObject(item, { x: occupied[i][1] * CELL, y: occupied[i][0] * CELL, blockColor: k.color })
    item.x = 2 + 167 + (2 - k.startOffX) * CELL + k.preOffX
    item.y = 2 + 4 + (1 - k.startOffY) * CELL + k.preOffY
    return { kind: kind, rot: 0, item: item }
}

function randomKind() {
    return Math.min(kinds.length - 1, Math.floor(random() * kinds.length))
}

function collides(piece, rot, x, y) {
    var col = Math.floor(x / CELL)
    var row = Math.floor(y / CELL)
    var occupied = cells(piece.kind, rot)
    for (var i = 0; i < occupied.length; ++i) {
        var r = row + occupied[i][0]
        var c = col + occupied[i][1]
        if (r < 0)
            continue
        if (c < 0 || c >= COLS || r >= ROWS || board[r * COLS + c] !== null)
            return true
    }
    return false
}

function newPiece() {
    current = next
    var k = kinds[current.kind]
    current.item.parent = ui.well
    current.item.x = (5 - k.startOffX) * CELL
    current.item.y = (1 - k.startOffY) * CELL
    next = makePiece(randomKind())
}

function start() {
    lines = MAX_LINES
    clearBlocks()
    next = makePiece(randomKind())
    newPiece()
    ui.showNumbers(level, score, lines)
    ui.fallTimer.interval = Math.max(400 - 50 * level, 20)
    ui.fallTimer.start()
}

// Items go at once; their deletion itself waits for the event loop.
function discard(item) {
    item.visible = false
    item.destroy()
}

function clearBlocks() {
    for (var i = 0; i < board.length; ++i)
        if (board[i] !== null)
            discard(board[i])
    emptyBoard()
}

function reset() {
    if (current !== null)
        discard(current.item)
    if (next !== null)
        discard(next.item)
    current = null
    next = null
    clearBlocks()
    ui.fallTimer.stop()
    ui.removeTimer.stop()
}

function tick() {
    if (current === null)
        return
    var item = current.item
    if (collides(current, current.rot, item.x, item.y)) {
        ui.fallTimer.stop()
        ui.state = "GameOver"
    } else if (collides(current, current.rot, item.x, item.y + CELL)) {
        place()
    } else {
        item.y += CELL
    }
}

function place() {
    var col = Math.floor(current.item.x / CELL)
    var row = Math.floor(current.item.y / CELL)
    var occupied = cells(current.kind, current.rot)
    var colour = kinds[current.kind].color
    for (var i = 0; i < occupied.length; ++i) {
        var r = row + occupied[i][0]
        var c = col + occupied[i][1]
        if (r < 0)
            continue
        board[r * COLS + c] = ui.blockComponent.createObject(ui.well, { x: c * CELL, y: r * CELL, blockColor: colour })
    }
    discard(current.item)
    current = null
    var n = markFullRows()
    if (n > 0) {
        lines -= n
        score += scoreVec[Math.min(n, 4)]
        ui.showNumbers(level, score, lines)
    } else {
        newPiece()
    }
}

function rowFull(r) {
    for (var c = 0; c < COLS; ++c)
        if (board[r * COLS + c] === null)
            return false
    return true
}

function markFullRows() {
    var n = 0
    for (var r = ROWS - 1; r >= 1; --r) {
        if (!rowFull(r))
            continue
        ++n
        for (var c = 0; c < COLS; ++c)
            board[r * COLS + c].state = "blink"
    }
    if (n > 0) {
        ui.fallTimer.stop()
        ui.removeTimer.start()
    }
    return n
}

function removeFullRows() {
    var r = ROWS - 1
    while (r >= 1) {
        if (!rowFull(r)) {
            --r
            continue
        }
        for (var c = 0; c < COLS; ++c)
            discard(board[r * COLS + c])
        for (var rr = r; rr >= 1; --rr) {
            for (c = 0; c < COLS; ++c) {
                var block = board[(rr - 1) * COLS + c]
                board[rr * COLS + c] = block
                if (block !== null)
                    block.y += CELL
            }
        }
        for (c = 0; c < COLS; ++c)
            board[c] = null
    }
    if (lines <= 0) {
        ++level
        ui.state = "ChangeLevel"
    } else {
        ui.fallTimer.start()
        newPiece()
    }
}

function rotate() {
    if (current === null)
        return
    var rot = (current.rot + 1) % 4
    if (collides(current, rot, current.item.x, current.item.y))
        return
    current.rot = rot
    current.item.turns += 1
}

function move(columns) {
    if (current === null)
        return
    if (!collides(current, current.rot, current.item.x + columns * CELL, current.item.y))
        current.item.x += columns * CELL
}

// For tests and the screen: what lies where.
function cellColor(col, row) {
    var block = board[row * COLS + col]
    return block === null ? "" : String(block.blockColor)
}
