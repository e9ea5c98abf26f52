.pragma library

// State of the WLAN screen kept across its visits: whether each entry can be used now
// (buttonsActive), whether it could be used when the middle key went down (tempBtns), and
// whether the middle key is down.
var buttonsActive = { 'wlan_on': false, 'wlan_off': false, 'restartwlan': false, 'mainmenu': false }
var tempBtns = { 'wlan_on': false, 'wlan_off': false, 'restartwlan': false, 'mainmenu': false }
var keyPressed = false
