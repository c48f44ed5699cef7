#include "ui/iconview/icon_view_win.h"

#include <commctrl.h>

#include <algorithm>

#include "core/messages.h"
#include "core/ui_text_win.h"
#include "core/win_text.h"
#include "formats/group_image.h"
#include "imaging/icon_codec_win.h"
#include "imaging/icon_image_classify.h"
#include "ops/document_loading.h"
#include "ops/icon_document_ops.h"
#include "ui/controls/container_win.h"
#include "ui/controls/list_view_win.h"
#include "ui/controls/rebar_win.h"
#include "ui/iconview/thumbnails_win.h"
#include "ui/iconview/view_geometry.h"
#include "ui/iconview/view_texts.h"
#include "ui/main/main_window_panel_win.h"

namespace zx {
namespace {

constexpr int kLanguages[] = {kLangEnglish, kLangFrench};
constexpr int kCaptionPoints = 8;
constexpr int kFirstPictureTop = 3;

// Suspends a control's redrawing and repaints it once at the end.
class RedrawPause {
 public:
  explicit RedrawPause(HWND window) : window_(window) { SendMessageW(window_, WM_SETREDRAW, FALSE, 0); }
  ~RedrawPause() {
    SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(window_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
  }
  RedrawPause(const RedrawPause&) = delete;
  RedrawPause& operator=(const RedrawPause&) = delete;

 private:
  HWND window_;
};

// The main window stays disabled while a file is opened, whatever way out.
class WindowDisabled {
 public:
  explicit WindowDisabled(HWND window) : window_(window) { EnableWindow(window_, FALSE); }
  ~WindowDisabled() { EnableWindow(window_, TRUE); }
  WindowDisabled(const WindowDisabled&) = delete;
  WindowDisabled& operator=(const WindowDisabled&) = delete;

 private:
  HWND window_;
};

HFONT CaptionFont(IconView& view) {
  if (!view.captionFont) {
    ScreenDc screen;
    const int height = -MulDiv(kCaptionPoints, GetDeviceCaps(screen.get(), LOGPIXELSY), 72);
    view.captionFont.Reset(CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH,
                                       L"Courrier New"));
  }
  return static_cast<HFONT>(view.captionFont.get());
}

void SetPaneCaptionText(const IconView& view, const std::u16string& text) {
  Rebar(view.main->paneCaption).SetBandText(0, Wide(text));
}

bool IsIcoDocument(const IconView& view) { return view.document->container == kContainerIco; }

int64_t GroupCountShown(const IconView& view) {
  return IsIcoDocument(view) ? view.document->iconCount : view.document->groupCount;
}

std::vector<int64_t> SelectedImageCounts(const IconView& view) {
  std::vector<int64_t> counts;
  for (int item : SelectedGroupItems(view)) {
    LVITEMW data = {};
    data.mask = LVIF_PARAM;
    data.iItem = item;
    SendMessageW(view.main->groupList, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
    counts.push_back(static_cast<int64_t>(data.lParam));
  }
  return counts;
}

// The group list's caption in both languages, shown in the current one.
void RefreshGroupCaption(IconView& view) {
  if (!view.document->base) return;
  const TextLookup text = UiTextLookup();
  const auto counts = SelectedImageCounts(view);
  for (int language : kLanguages) {
    view.For(language).groupCaption = GroupListCaption(text, language, GroupCountShown(view), counts);
  }
  SetGroupListCaption(*view.main, view.For(view.ctx->language).groupCaption);
}

void RefreshPaneCaption(IconView& view) {
  const TextLookup text = UiTextLookup();
  const PictureStates states = PictureStatesOf(view);
  for (int language : kLanguages) {
    view.For(language).paneCaption = PaneCaption(text, language, static_cast<int>(states.size()),
                                                 SelectedPictureCount(states), IsIcoDocument(view));
  }
  SetPaneCaptionText(view, view.For(view.ctx->language).paneCaption);
}

// After every change the caption follows and the keyboard goes to the focused picture.
void ApplyStates(IconView& view, const PictureStates& states) {
  for (size_t i = 0; i < states.size() && i < view.pictures.size(); ++i) {
    if (view.pictures[i].state != states[i]) ShowPictureState(view.pictures[i], states[i]);
  }
  RefreshPaneCaption(view);
  const int focused = FocusedPicture(states);
  if (focused >= 0) SetFocus(view.pictures[focused].button.get());
}

// One rule of the selection applied to the pane's pictures.
template <typename Rule>
void ChangePictures(IconView& view, Rule rule) {
  PictureStates states = PictureStatesOf(view);
  rule(states);
  ApplyStates(view, states);
}

// The pane's pictures and buttons for one group, widest image first.
int BuildPane(IconView& view, const DocumentGroup& group) {
  ThreadContext& ctx = *view.ctx;
  std::vector<GroupImage> images = GroupImagesOf(group);
  const bool ico = IsIcoDocument(view);
  if (!ico) SortGroupImages(images);
  if (images.empty()) return Fail(ctx, kMsgGroupWithoutIcons, 2);
  const int paneWidth = PaneInnerWidth(images.front().width);
  HFONT font = CaptionFont(view);
  const TextLookup text = UiTextLookup();
  int y = kFirstPictureTop;
  for (size_t index = 0; index < images.size(); ++index) {
    const GroupImage& image = images[index];
    if (ico && !image.png && (image.width == 0 || image.height == 0)) {
      ClearPanePictures(view);
      return Fail(ctx, kMsgIconCreate, 38);
    }
    PanePicture picture;
    picture.width = image.width;
    picture.height = image.height;
    picture.bitCount = image.bitCount;
    picture.entry = ico ? view.shownItem + 1 : image.iconId;
    picture.data = image.data;
    picture.length = static_cast<uint32_t>(image.length);
    picture.isPng = image.png;
    UniqueIcon icon;
    if (!IconFromImage(ctx, image.data, static_cast<uint64_t>(image.length),
                       image.png ? IconImageKind::kPng : IconImageKind::kDib, image.width, image.height, icon)) {
      ClearPanePictures(view);
      return 0;
    }
    const std::u16string caption = DecimalText(image.width) + u" x " + DecimalText(image.height) + u"  " +
                                   DepthCaption(ctx, image.bitCount, image.png, text);
    if (!DrawPanePictures(ctx, icon.get(), paneWidth, font, caption, picture)) {
      ClearPanePictures(view);
      return 0;
    }
    icon.Reset();
    picture.button.Reset(CreateWindowExW(0, WC_STATICW, L"", WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_NOTIFY, 5, y,
                                         paneWidth, PanePictureHeight(image.height), view.main->imagePane,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstPictureButton + index)),
                                         GetModuleHandleW(nullptr), nullptr));
    if (!picture.button) {
      ClearPanePictures(view);
      return Fail(ctx, 18, 1);
    }
    ShowPictureState(picture, PictureState::kPlain);
    view.pictures.push_back(std::move(picture));
    y += PanePictureStep(image.height);
  }
  SetScrollAreaInnerHeight(view.main->imagePane, y);
  return 1;
}

int PictureIndexOf(const IconView& view, HWND button) {
  for (size_t i = 0; i < view.pictures.size(); ++i) {
    if (view.pictures[i].button.get() == button) return static_cast<int>(i);
  }
  return -1;
}

int FocusedGroupItem(const IconView& view) {
  return static_cast<int>(SendMessageW(view.main->groupList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

void SelectGroupItem(HWND groupList, int item) {
  LVITEMW state = {};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(groupList, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&state));
}

// A failed opening: the view emptied, the document closed and the error shown.
void FailOpening(IconView& view) {
  const int64_t error = view.ctx->error;
  CloseViewDocument(view, false);
  ResetDocument(*view.ctx, *view.document);
  view.ctx->error = error;
  view.reporter->ReportError();
  SetFocus(view.main->fileList);
}

}  // namespace

void AttachIconView(IconView& view, MainWindow& main, ThreadContext& ctx, IconDocument& document,
                    ErrorReporter& reporter) {
  view.main = &main;
  view.ctx = &ctx;
  view.document = &document;
  view.reporter = &reporter;
}

void ClearPanePictures(IconView& view) {
  view.pictures.clear();
  if (view.main) SetScrollAreaInnerHeight(view.main->imagePane, 1);
}

void CloseViewDocument(IconView& view, bool fileListEmpty) {
  ClearPanePictures(view);
  view.shownItem = -1;
  RemoveThumbnails(view.main->list48.get());
  SendMessageW(view.main->groupList, LVM_DELETEALLITEMS, 0, 0);
  ClearViewCaptions(view);
  if (fileListEmpty) ClearStatus(view.main->status);
  const int64_t error = view.ctx->error;
  CloseDocument(*view.ctx, view.document);
  view.ctx->error = error;
}

int ShowGroup(IconView& view, int item) {
  ThreadContext& ctx = *view.ctx;
  if (!view.document->base) return Fail(ctx, kMsgNullPointer, 126);
  if (item < 0) {
    ClearPanePictures(view);
    view.shownItem = -1;
    RefreshPaneCaption(view);
    return 1;
  }
  SetScrollAreaInnerHeight(view.main->imagePane, 1);
  RedrawPause pause(view.main->imagePane);
  ClearPanePictures(view);
  DocumentGroup group;
  view.shownItem = item;
  if (!ReadDocumentGroup(ctx, *view.document, item, group) || !BuildPane(view, group)) {
    view.shownItem = -1;
    RefreshPaneCaption(view);
    return 0;
  }
  RefreshPaneCaption(view);
  return 1;
}

void OpenIconFile(IconView& view, const std::u16string& path, int itemToSelect, int scrollAmount, bool clearStatus) {
  if (path.empty()) return;
  ThreadContext& ctx = *view.ctx;
  IconDocument& doc = *view.document;
  MainWindow& main = *view.main;
  const HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  view.opening = true;
  {
    WindowDisabled disabled(main.window);
    CloseViewDocument(view, false);
    ClearDocument(ctx, doc);
    InvalidateRect(main.imagePane, nullptr, TRUE);

    std::vector<DocumentGroup> groups;
    int opened = LoadIconDocument(ctx, doc, path);
    if (opened) {
      RedrawPause pause(main.groupList);
      opened = ReadDocumentGroups(ctx, doc, groups) &&
               BuildGroupThumbnails(ctx, doc, main.groupList, main.list48.get(), groups);
    }
    if (opened) {
      const int item = std::clamp(itemToSelect, 0, std::max(0, static_cast<int>(groups.size()) - 1));
      const bool ico = doc.container == kContainerIco;
      if (ico && clearStatus) ClearStatus(main.status);
      const int shown = ShowGroup(view, item);
      if (!shown && !ico) {
        if (ErrorMessage(ctx.error) == kMsgIconCreate) Fail(ctx, kMsgBadFileFormat, doc.container == kContainerPe ? 63 : 64);
        opened = 0;
      } else {
        ctx.error = 0;
        if (scrollAmount > 0) {
          SendMessageW(main.groupList, LVM_SCROLL, 0, scrollAmount);
        } else {
          SendMessageW(main.groupList, LVM_ENSUREVISIBLE, item, FALSE);
        }
        SelectGroupItem(main.groupList, item);
        ShowFileTexts(view);
        SetFocus(main.fileList);
      }
    }
    if (!opened) FailOpening(view);
  }
  view.opening = false;
  SetCursor(previous ? previous : LoadCursorW(nullptr, IDC_ARROW));
}

void ShowFileTexts(IconView& view) {
  IconDocument& doc = *view.document;
  if (!doc.base) return;
  const TextLookup text = UiTextLookup();
  const std::u16string name = FileNamePart(doc.path);
  const int64_t groups = GroupCountShown(view);
  for (int language : kLanguages) {
    view.main->status.For(language) = {FileStatusText(text, language, name, doc.container, doc.iconCount, groups), u""};
  }
  ShowStatus(view.main->status, view.ctx->language);
  RefreshGroupCaption(view);
  RefreshPaneCaption(view);
}

void ClearViewCaptions(IconView& view) {
  view.english = {};
  view.french = {};
  SetGroupListCaption(*view.main, u"");
  SetPaneCaptionText(view, u"");
}

void ApplyViewLanguage(IconView& view) {
  SetGroupListCaption(*view.main, view.For(view.ctx->language).groupCaption);
  SetPaneCaptionText(view, view.For(view.ctx->language).paneCaption);
}

PictureStates PictureStatesOf(const IconView& view) {
  PictureStates states;
  for (const PanePicture& picture : view.pictures) states.push_back(picture.state);
  return states;
}

int FocusedPicture(const IconView& view) { return FocusedPicture(PictureStatesOf(view)); }

void SelectAllPictures(IconView& view) { ChangePictures(view, [](PictureStates& s) { SelectAllPictures(s); }); }
void UnselectAllPictures(IconView& view) { ChangePictures(view, [](PictureStates& s) { UnselectAllPictures(s); }); }
void ToggleSelection(IconView& view) { ChangePictures(view, [](PictureStates& s) { ToggleSelection(s); }); }
void ResetPictures(IconView& view) { ChangePictures(view, [](PictureStates& s) { ResetPictures(s); }); }

void ClickPicture(IconView& view, int index, bool control, bool shift) {
  PictureStates states = PictureStatesOf(view);
  if (control) {
    ControlClickPicture(states, index);
  } else if (shift) {
    ShiftClickPicture(states, index, index >= 0 && index < static_cast<int>(states.size()) &&
                                         GetFocus() == view.pictures[index].button.get() && IsFocused(states[index]));
  } else {
    ClickPicture(states, index);
  }
  ApplyStates(view, states);
}

std::vector<int> SelectedGroupItems(const IconView& view) {
  std::vector<int> items;
  int item = -1;
  while ((item = static_cast<int>(SendMessageW(view.main->groupList, LVM_GETNEXTITEM, item, LVNI_SELECTED))) >= 0) {
    items.push_back(item);
  }
  return items;
}

bool OnIconViewNotify(IconView& view, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (!view.main) return false;
  if (message == WM_COMMAND) {
    const HWND control = reinterpret_cast<HWND>(lParam);
    const int index = control ? PictureIndexOf(view, control) : -1;
    if (index < 0 || HIWORD(wParam) != STN_CLICKED) return false;
    ClickPicture(view, index, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_SHIFT) < 0);
    result = 0;
    return true;
  }
  if (message != WM_NOTIFY) return false;
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (!header || header->hwndFrom != view.main->groupList || view.opening) return false;
  if (header->code == NM_CLICK) {
    ResetPictures(view);
  } else if (header->code == LVN_ITEMCHANGED) {
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
    if (!(change->uChanged & LVIF_STATE) || ((change->uNewState ^ change->uOldState) & (LVIS_SELECTED | LVIS_FOCUSED)) == 0) {
      return false;
    }
    RefreshGroupCaption(view);
    const int focused = FocusedGroupItem(view);
    const bool focusedSelected =
        focused >= 0 && (SendMessageW(view.main->groupList, LVM_GETITEMSTATE, focused, LVIS_SELECTED) & LVIS_SELECTED);
    if (focusedSelected && focused != view.shownItem) {
      ShowGroup(view, -1);
      if (!ShowGroup(view, focused)) view.reporter->ReportError();
    }
  } else {
    return false;
  }
  result = 0;
  return true;
}

}  // namespace zx
