// The selection of the images shown in the image pane. An image's state is
// which of its four pictures its button shows; at most one image holds the
// focus. Pure rules, so the mouse handling and the pop-up commands share them.
#pragma once

#include <vector>

namespace zx {

enum class PictureState : int { kPlain = 0, kPlainFocused = 1, kSelected = 2, kSelectedFocused = 3 };

using PictureStates = std::vector<PictureState>;

bool IsSelected(PictureState state);
bool IsFocused(PictureState state);
// Index of the focused image, or -1.
int FocusedPicture(const PictureStates& states);
int SelectedPictureCount(const PictureStates& states);

// A plain click: the clicked image alone, selected and focused.
void ClickPicture(PictureStates& states, int clicked);
// Ctrl + click: the focused image keeps its selection but loses the focus;
// the clicked one toggles and takes the focus.
void ControlClickPicture(PictureStates& states, int clicked);
// Shift + click: the range from the focused image to the clicked one.
// `clickedHasKeyboardFocus`: the clicked button held the keyboard focus.
void ShiftClickPicture(PictureStates& states, int clicked, bool clickedHasKeyboardFocus);
void SelectAllPictures(PictureStates& states);
// The focused image keeps its focus unless `keepFocus` is false.
void UnselectAllPictures(PictureStates& states, bool keepFocus = true);
void ToggleSelection(PictureStates& states);
// Every image plain: nothing selected, no focus.
void ResetPictures(PictureStates& states);

}  // namespace zx
