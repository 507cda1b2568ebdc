// The FLTK control of each kind of layout object: making it, bringing it in line with the object,
// and turning what the user does to it into a queued action. Used by the GUI backend only, always
// with the UI lock held.
#pragma once

#include "DW_Window.h"

#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Widget.H>

#include <memory>
#include <string>
#include <vector>

class Fl_Image;

struct DWFLTKControl {
    DynamicWindow* window = nullptr;
    int32_t objectID = 0;
    int32_t type = 0;
    uint16_t features = 0;
    Fl_Widget* widget = nullptr;  // owned by its FLTK group
    std::unique_ptr<Fl_Image> image;
    ucstringlist shownItems;  // what a combo or list box shows now
    std::vector<std::string> itemTexts;
    std::vector<Fl_Menu_Item> menu;
};

// FLTK label text from wide text: UTF-8 with "\n" line breaks; "@" (FLTK's symbol mark) doubled, and
// "&" (a shortcut mark on buttons and menus) too when `ampersand` is set.
std::string dwFLTKText(const ucstring& text, bool ampersand);
// Makes the control inside the current FLTK group at the object's place; null for objects drawn by
// nothing of their own (boxes, fills, spaces).
Fl_Widget* dwFLTKCreateControl(DWFLTKControl& control, const DWLayoutObject& object);
// Brings the control in line with the object: text, value, items, enabled state and visibility.
void dwFLTKUpdateControl(DWFLTKControl& control, const DWLayoutObject& object, bool visible);
// The control's rectangle for the object's place (labels reach a little wider: FLTK pads them).
void dwFLTKPlaceControl(DWFLTKControl& control, const DWLayoutObject& object);
