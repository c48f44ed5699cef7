#include "ui/iconview/picture_selection.h"

#include <algorithm>

namespace zx {

bool IsSelected(PictureState state) {
  return state == PictureState::kSelected || state == PictureState::kSelectedFocused;
}

bool IsFocused(PictureState state) {
  return state == PictureState::kPlainFocused || state == PictureState::kSelectedFocused;
}

int FocusedPicture(const PictureStates& states) {
  for (size_t i = 0; i < states.size(); ++i) {
    if (IsFocused(states[i])) return static_cast<int>(i);
  }
  return -1;
}

int SelectedPictureCount(const PictureStates& states) {
  return static_cast<int>(std::count_if(states.begin(), states.end(), IsSelected));
}

namespace {

bool InRange(const PictureStates& states, int index) {
  return index >= 0 && index < static_cast<int>(states.size());
}

// The focused image selected and focused (the first when none is), every other selected.
void SelectEverything(PictureStates& states) {
  const int focused = std::max(0, FocusedPicture(states));
  for (size_t i = 0; i < states.size(); ++i) {
    states[i] = static_cast<int>(i) == focused ? PictureState::kSelectedFocused : PictureState::kSelected;
  }
}

}  // namespace

void ResetPictures(PictureStates& states) {
  std::fill(states.begin(), states.end(), PictureState::kPlain);
}

void ClickPicture(PictureStates& states, int clicked) {
  if (!InRange(states, clicked)) return;
  ResetPictures(states);
  states[clicked] = PictureState::kSelectedFocused;
}

void ControlClickPicture(PictureStates& states, int clicked) {
  if (!InRange(states, clicked)) return;
  const bool wasSelected = IsSelected(states[clicked]);
  const int focused = FocusedPicture(states);
  if (focused >= 0) states[focused] = IsSelected(states[focused]) ? PictureState::kSelected : PictureState::kPlain;
  states[clicked] = wasSelected ? PictureState::kPlainFocused : PictureState::kSelectedFocused;
}

void ShiftClickPicture(PictureStates& states, int clicked, bool clickedHasKeyboardFocus) {
  if (!InRange(states, clicked)) return;
  const int focused = FocusedPicture(states);
  if (focused < 0) {
    states[clicked] = PictureState::kSelectedFocused;
    return;
  }
  if (clickedHasKeyboardFocus) {
    ClickPicture(states, clicked);
    return;
  }
  ResetPictures(states);
  const int first = std::min(focused, clicked);
  const int last = std::max(focused, clicked);
  for (int i = first; i <= last; ++i) states[i] = PictureState::kSelected;
  states[clicked] = PictureState::kSelectedFocused;
}

void SelectAllPictures(PictureStates& states) {
  if (states.empty()) return;
  if (FocusedPicture(states) >= 0 && SelectedPictureCount(states) == static_cast<int>(states.size())) return;
  SelectEverything(states);
}

void UnselectAllPictures(PictureStates& states, bool keepFocus) {
  const int focused = keepFocus ? FocusedPicture(states) : -1;
  ResetPictures(states);
  if (focused >= 0) states[focused] = PictureState::kPlainFocused;
}

void ToggleSelection(PictureStates& states) {
  if (states.empty()) return;
  const int focused = FocusedPicture(states);
  if (focused < 0) {
    SelectEverything(states);
    return;
  }
  if (SelectedPictureCount(states) == static_cast<int>(states.size())) {
    UnselectAllPictures(states);
    return;
  }
  for (PictureState& state : states) {
    switch (state) {
      case PictureState::kPlain: state = PictureState::kSelected; break;
      case PictureState::kSelected: state = PictureState::kPlain; break;
      case PictureState::kPlainFocused: state = PictureState::kSelectedFocused; break;
      case PictureState::kSelectedFocused: state = PictureState::kPlainFocused; break;
    }
  }
}

}  // namespace zx
