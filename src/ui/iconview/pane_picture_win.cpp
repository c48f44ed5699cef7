#include "ui/iconview/pane_picture_win.h"

#include "core/messages.h"
#include "core/win_text.h"
#include "ui/iconview/picture_drawing_win.h"

namespace zx {
namespace {

// The highlight shows through the plain picture at this opacity of 255.
constexpr BYTE kPlainOpacity = 220;

void DrawFrameAndFocus(HDC dc, int width, int height) {
  const RECT frame = {0, 0, width - 5, height};
  FrameRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  DrawFocusRect(dc, &frame);
}

}  // namespace

HBITMAP PanePicture::PictureFor(PictureState s) const {
  switch (s) {
    case PictureState::kPlainFocused: return plainFocused.get();
    case PictureState::kSelected: return selected.get();
    case PictureState::kSelectedFocused: return selectedFocused.get();
    case PictureState::kPlain: break;
  }
  return plain.get();
}

int DrawPanePictures(ThreadContext& ctx, HICON icon, int paneWidth, HFONT font, const std::u16string& caption,
                     PanePicture& picture) {
  const int width = paneWidth;
  const int height = PanePictureHeight(picture.height);
  PictureDc dc;
  if (!dc) return Fail(ctx, kMsgIconCreate, 17);

  picture.plain.Reset(CreateWhitePicture(width, height));
  if (!picture.plain) return Fail(ctx, kMsgIconCreate, 18);
  {
    SelectedObject selected(dc.get(), picture.plain.get());
    if (!DrawIconEx(dc.get(), (width - picture.width) / 2, 5, icon, picture.width, picture.height, 0, nullptr,
                    DI_NORMAL)) {
      return Fail(ctx, kMsgIconDraw, 1);
    }
    SelectedObject chosenFont(dc.get(), font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    SetTextColor(dc.get(), RGB(0, 0, 0));
    SetBkColor(dc.get(), RGB(255, 255, 255));
    RECT line = {0, picture.height + 10, width, height};
    DrawTextW(dc.get(), Wide(caption), -1, &line, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
  }

  picture.plainFocused.Reset(CopyPicture(picture.plain.get(), width, height));
  if (!picture.plainFocused) return Fail(ctx, kMsgIconCreate, 19);
  {
    SelectedObject selected(dc.get(), picture.plainFocused.get());
    DrawFrameAndFocus(dc.get(), width, height);
  }

  picture.selectedFocused.Reset(CreateWhitePicture(width, height));
  if (!picture.selectedFocused) return Fail(ctx, kMsgIconCreate, 20);
  {
    PictureDc plainDc;
    if (!plainDc) return Fail(ctx, kMsgIconCreate, 21);
    SelectedObject selected(dc.get(), picture.selectedFocused.get());
    SelectedObject plainSelected(plainDc.get(), picture.plain.get());
    const RECT highlight = {1, 1, width, height};
    FillRect(dc.get(), &highlight, GetSysColorBrush(COLOR_HIGHLIGHT));
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, kPlainOpacity, 0};
    if (!AlphaBlend(dc.get(), 0, 0, width, height, plainDc.get(), 0, 0, width, height, blend)) {
      return Fail(ctx, kMsgIconCreate, 22);
    }
    DrawFrameAndFocus(dc.get(), width, height);
  }

  picture.selected.Reset(CopyPicture(picture.selectedFocused.get(), width, height));
  if (!picture.selected) return Fail(ctx, kMsgIconCreate, 23);
  {
    SelectedObject selected(dc.get(), picture.selected.get());
    // The focus rectangle is drawn by inversion: a second pass takes it away.
    const RECT frame = {0, 0, width - 5, height};
    DrawFocusRect(dc.get(), &frame);
    FrameRect(dc.get(), &frame, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
  return 1;
}

void ShowPictureState(PanePicture& picture, PictureState state) {
  picture.state = state;
  SendMessageW(picture.button.get(), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture.PictureFor(state)));
}

}  // namespace zx
