#include "ops/writer_services_win.h"

#include <windows.h>

#include <memory>

#include "core/messages.h"
#include "core/win_handles.h"
#include "formats/byte_reader.h"
#include "imaging/icon_codec_win.h"
#include "imaging/scratch_stream_win.h"

namespace zx {
namespace {

// The icon of a PNG image as the system makes it, at the PNG's own size.
HICON SystemIconOfPng(const uint8_t* png, uint64_t length) {
  if (length < 24 || length > 0x7FFFFFFF) return nullptr;
  const int width = static_cast<int>(ReadU32BigEndian(png + 16) & 0xFFFF);
  const int height = static_cast<int>(ReadU32BigEndian(png + 20) & 0xFFFF);
  return CreateIconFromResourceEx(const_cast<uint8_t*>(png), static_cast<DWORD>(length), TRUE,
                                  0x00030000, width, height, LR_DEFAULTCOLOR);
}

// The system must accept the DIB it is going to be given back.
int CheckSystemTakesDib(ThreadContext& ctx, ByteStream& ico) {
  uint8_t entry[16];
  if (!SeekTo(ctx, ico, 6, 631) || !ReadExactly(ctx, ico, entry, 16, 631, kMsgOverflow, 631)) {
    return 0;
  }
  std::vector<uint8_t> dib(ReadU32(entry + 8));
  if (dib.size() < 40 || !SeekTo(ctx, ico, ReadU32(entry + 12), 632) ||
      !ReadExactly(ctx, ico, dib.data(), dib.size(), 632, kMsgOverflow, 632)) {
    return Fail(ctx, kMsgIconCreate, 633);
  }
  UniqueIcon check(CreateIconFromResourceEx(dib.data(), static_cast<DWORD>(dib.size()), TRUE,
                                            0x00030000, ReadS32(dib.data() + 4),
                                            ReadS32(dib.data() + 8) / 2, LR_DEFAULTCOLOR));
  return check ? 1 : Fail(ctx, kMsgIconCreate, 634);
}

}  // namespace

StreamFactory ScratchStreams() {
  return [](ThreadContext& ctx) -> std::unique_ptr<ByteStream> {
    auto stream = std::make_unique<ScratchStream>();
    if (!CreateScratchStream(ctx, stream.get())) return nullptr;
    return stream;
  };
}

PngUnpacker CodecPngUnpacker(bool systemFirst) {
  return [systemFirst](ThreadContext& ctx, const uint8_t* png, uint64_t length, ByteStream& out) {
    UniqueIcon icon;
    if (systemFirst) icon.Reset(SystemIconOfPng(png, length));
    if (!icon && !PngToIcon(ctx, png, length, icon)) return 0;
    ScratchStream ico;
    if (!IconToIcoStream(ctx, icon.get(), ico)) return 0;
    if (systemFirst && !CheckSystemTakesDib(ctx, ico)) return 0;
    uint64_t size = 0;
    uint64_t copied = 0;
    if (!ico.Size(ctx, size, 635) || !SeekTo(ctx, ico, 0, 635) ||
        !ico.CopyTo(ctx, out, size, copied, 636)) {
      return 0;
    }
    return copied == size ? 1 : Fail(ctx, kMsgStreamWrite, 636);
  };
}

}  // namespace zx
