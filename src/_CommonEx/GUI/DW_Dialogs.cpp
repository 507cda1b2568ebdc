#include "DW_Dialogs.h"

#include "Orb_Debug.h"
#include "_Common/Strings/Orb_String.h"

#include <memory>
#include <new>

namespace {

constexpr int32_t kButtonWidth = 80;
constexpr int32_t kDefaultMessageWidth = 400;

// A message with several lines keeps its own lines; one long line wraps.
int32_t messageMaxWidth(const ucstring& message, int32_t width) {
    if (width == 0 && message.find(u'\r') == ucstring::npos) return kDefaultMessageWidth;
    return width;
}

struct ButtonSpec {
    int32_t id;
    const char16_t* label;
    uint16_t features;
};

void addButtons(DWLayout& layout, std::initializer_list<ButtonSpec> buttons) {
    for (const ButtonSpec& b : buttons) addButton(layout, kDialogButtonRowID, b.id, b.label, b.features, kButtonWidth);
}

}  // namespace

void MessageInputDialogHelper::windowShow(DynamicWindow& window) {
    if (messageDialogType() == -1) window.updateFocus(kDialogEditID);
}

void MessageInputDialogHelper::buttonClick(DynamicWindow&, int32_t objectID) { setButton(objectID); }

int32_t messageDialog(const ucstring& message, int32_t type, const ucstring& title, bool* suppress,
                      const ucstring& checkBoxText, int32_t messageWidth) {
    DEBUG_OUT(u"Message Dialog: " + message);
    if (type < 0 || type > 7) type = 0;
    DWLayout layout;
    setupLayout(layout, kDialogRootID, true);
    layout.mutableTitle() = title;
    addLabel(layout, kDialogRootID, kDialogMessageID, message, 0, 0, messageMaxWidth(message, messageWidth));
    addHBox(layout, kDialogRootID, kDialogButtonRowID);
    if (suppress) {
        const ucstring text = stringTrim(checkBoxText);
        addCheckBox(layout, kDialogButtonRowID, kDialogSuppressID,
                    text.empty() ? ucstring(u"Do not show this dialog again.") : text, *suppress);
    }
    if (type < 6) addFill(layout, kDialogButtonRowID, kDialogFillID);
    switch (type) {
        case 0: addButtons(layout, {{kDialogOK, u"OK", 5}}); break;
        case 1: addButtons(layout, {{kDialogCancel, u"Cancel", 7}}); break;
        case 2: addButtons(layout, {{kDialogOK, u"OK", 5}, {kDialogCancel, u"Cancel", 6}}); break;
        case 3: addButtons(layout, {{kDialogOK, u"OK", 4}, {kDialogCancel, u"Cancel", 7}}); break;
        case 4: addButtons(layout, {{kDialogYes, u"Yes", 5}, {kDialogNo, u"No", 6}}); break;
        case 5: addButtons(layout, {{kDialogYes, u"Yes", 4}, {kDialogNo, u"No", 7}}); break;
        case 6:
        case 7:
            addButtons(layout, {{kDialogYes, u"Yes", uint16_t(type == 6 ? 5 : 4)},
                                {kDialogNo, u"No", uint16_t(type == 6 ? 4 : 5)}});
            addFill(layout, kDialogButtonRowID, kDialogFillID);
            addButtons(layout, {{kDialogCancel, u"Cancel", 6}});
            break;
    }
    // A single button without a check box stands in the middle.
    if (type <= 1 && !suppress) addFill(layout, kDialogButtonRowID, kDialogSecondFillID);

    MessageInputDialogHelper helper;
    helper.setMessageDialogType(type);
    std::unique_ptr<DynamicWindow> window(new (std::nothrow) DynamicWindow());
    if (!window) {
        DEBUG_OUT("Could not create Message Dialog!");
        return 0;
    }
    if (!window->buildWindow(layout, &helper)) {
        DEBUG_OUT("Could not build Message Dialog!");
        return 0;
    }
    helper.setWindow(window.get());
    window->dwShow(true);
    if (suppress) {
        int64_t checked = 0;
        if (window->getLayoutObjectValue(kDialogSuppressID, checked)) *suppress = checked != 0;
    }
    return helper.button();
}

int32_t simpleMessageDialog(const ucstring& message, int32_t messageWidth, int32_t type) {
    return messageDialog(message, type, u"", nullptr, u"", messageWidth);
}

int32_t inputDialog(const ucstring& prompt, ucstring& answer, bool password, const ucstring& title,
                    int32_t promptWidth) {
    DWLayout layout;
    setupLayout(layout, kDialogRootID, true);
    layout.mutableTitle() = title;
    if (DWLayoutObject* label =
            addLabel(layout, kDialogRootID, kDialogMessageID, prompt, 0, 0, messageMaxWidth(prompt, promptWidth)))
        label->setAssociateID(kDialogEditID);
    addEdit(layout, kDialogRootID, kDialogEditID, answer, password ? kDWEditPassword : 0, 250);
    addHBox(layout, kDialogRootID, kDialogButtonRowID);
    addFill(layout, kDialogButtonRowID, kDialogFillID);
    addButtons(layout, {{kDialogOK, u"OK", 5}, {kDialogCancel, u"Cancel", 6}});

    MessageInputDialogHelper helper;
    helper.setMessageDialogType(-1);
    std::unique_ptr<DynamicWindow> window(new (std::nothrow) DynamicWindow());
    if (!window) {
        DEBUG_OUT("Could not create Input Dialog!");
        return 0;
    }
    if (!window->buildWindow(layout, &helper)) {
        DEBUG_OUT("Could not build Input Dialog!");
        return 0;
    }
    helper.setWindow(window.get());
    window->dwShow(true);
    if (helper.button() == kDialogOK) window->copyEditText(kDialogEditID, answer);
    // What a user types as a password stays out of the log.
    DEBUG_OUT(u"Input Dialog: " + prompt + u"; Result: " + (password ? ucstring(u"[CENSORED]") : answer));
    return helper.button();
}
