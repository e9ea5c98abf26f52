import QtQuick

// Frame of the screens: a title strip of 52 px over a body area of 208 px, and the
// theme colours that screens and lists read.
Rectangle {
    id: root
    objectName: "guiView"

    property string headerText: ""
    property string fontFamily: "Tavik Sans"

    // Until a theme is applied: the 'blue' values, with the older disabled colours.
    property string textColor: '#000000'
    property string titleColor: '#ffffff'
    property string bodyColor: '#ececec'
    property string bgColorNotSelected: '#d1d1d1'
    property string bgColorConnectedSelected: '#66ff33'
    property string bgColorConnectedNotSelected: '#66ff33'
    property string bgColorNotConnectedSelected: '#ff0000'
    property string bgColorNotConnectedNotSelected: '#ff0000'
    property string bgColorDisabledSelected: '#d1d1d1'
    property string bgColorDisabledNotSelected: '#999999'
    property string deactivatedServiceIcon: "/pics/LED_Off2.png"

    readonly property string okStatusDisplayColor: '#66ff33'
    readonly property string nokStatusDisplayColor: '#ff0000'

    function guiView_get_text_color() { return textColor }
    function guiView_get_title_color() { return titleColor }
    function guiView_get_body_color() { return bodyColor }
    function guiView_get_bg_color_not_selected() { return bgColorNotSelected }
    function guiView_get_bg_color_connected_selected() { return bgColorConnectedSelected }
    function guiView_get_bg_color_connected_not_selected() { return bgColorConnectedNotSelected }
    function guiView_get_bg_color_not_connected_selected() { return bgColorNotConnectedSelected }
    function guiView_get_bg_color_not_connected_not_selected() { return bgColorNotConnectedNotSelected }
    function guiView_get_bg_color_disabled_selected() { return bgColorDisabledSelected }
    function guiView_get_bg_color_disabled_not_selected() { return bgColorDisabledNotSelected }
    function guiView_get_deactivated_service_icon() { return deactivatedServiceIcon }
    function guiView_get_ok_status_display_color() { return okStatusDisplayColor }
    function guiView_get_nok_status_display_color() { return nokStatusDisplayColor }

    function guiView_setTheme(value) {
        var dark = value === 'black'
        textColor = dark ? '#ffffff' : '#000000'
        titleColor = dark ? '#000000' : '#ffffff'
        bodyColor = dark ? '#585858' : '#ececec'
        bgColorNotSelected = dark ? '#000000' : '#d1d1d1'
        bgColorConnectedSelected = '#66ff33'
        bgColorConnectedNotSelected = '#66ff33'
        bgColorNotConnectedSelected = '#ff0000'
        bgColorNotConnectedNotSelected = '#ff0000'
        bgColorDisabledSelected = bgColorNotSelected
        bgColorDisabledNotSelected = dark ? '#000000' : '#717171'
        deactivatedServiceIcon = dark ? "/pics/LED_Off2_light.png" : "/pics/LED_Off2.png"
    }

    x: 0
    y: 30
    width: 240
    height: 260
    color: root.bodyColor

    Rectangle {
        id: titleStrip
        objectName: "guiViewTitle"
        width: 240
        height: 52
        color: root.titleColor

        Text {
            id: titleText
            objectName: "guiViewTitleText"
            anchors.fill: parent
            anchors.leftMargin: 4
            anchors.rightMargin: 4
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
            font.family: root.fontFamily
            font.pixelSize: 32
            // A title wider than the display shrinks to a legible size, then loses its end;
            // titles are translations and service names: never markup.
            textFormat: Text.PlainText
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: 18
            elide: Text.ElideRight
            color: root.textColor
            text: root.headerText
        }
    }

    Rectangle {
        id: bodyArea
        objectName: "guiViewBody"
        y: 52
        width: 240
        height: 208
        color: root.bodyColor
    }
}
