// Benchmark (not a test): the cost of decoding a PNG icon image through
// GDI+ and then libpng (DecodePng) against libpng alone (DecodePngDirect),
// for each usual icon size. Prints one line per size with the median and
// the fastest time of each route, in microseconds per image.
//
//   wine64 build/bin/bench_png_decode.exe [ROUNDS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "imaging/icon_codec_win.h"
#include "imaging/png_pixels.h"
#include "imaging/thread_services_win.h"

namespace {

// A picture with colour gradients and a round transparent border, like an icon.
std::vector<uint8_t> IconLikePng(zx::ThreadContext& ctx, uint32_t side) {
  std::vector<uint8_t> rgba(size_t{side} * side * 4);
  for (uint32_t y = 0; y < side; ++y) {
    for (uint32_t x = 0; x < side; ++x) {
      uint8_t* p = &rgba[4 * (size_t{y} * side + x)];
      const double dx = x - side / 2.0 + 0.5;
      const double dy = y - side / 2.0 + 0.5;
      const bool inside = dx * dx + dy * dy <= (side / 2.1) * (side / 2.1);
      p[0] = static_cast<uint8_t>(x * 255 / side);
      p[1] = static_cast<uint8_t>(y * 255 / side);
      p[2] = static_cast<uint8_t>((x * 7 + y * 3) & 0xFF);
      p[3] = inside ? 255 : 0;
    }
  }
  zx::RegisteredBlock png;
  uint64_t bytes = 0;
  if (!zx::EncodePngRgba(ctx, rgba.data(), side, side, png, bytes, 1)) return {};
  return std::vector<uint8_t>(png.get(), png.get() + bytes);
}

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Timing {
  double median = 0;
  double fastest = 0;
};

// Microseconds per decode over `rounds` decodes; 0 when a decode failed.
template <typename Decode>
Timing Measure(int rounds, Decode decode) {
  std::vector<double> times;
  for (int i = 0; i < rounds; ++i) {
    zx::UniqueBitmap bitmap;
    const double start = Now();
    const int ok = decode(bitmap);
    const double elapsed = Now() - start;
    if (!ok || !bitmap) return Timing{};
    times.push_back(elapsed * 1e6);
  }
  std::sort(times.begin(), times.end());
  return Timing{times[times.size() / 2], times.front()};
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 200;
  zx::ThreadContext ctx;
  zx::ThreadServices services(ctx);
  std::printf("PNG decoding, %d rounds per size; microseconds per image (median / fastest)\n", rounds);
  std::printf("%6s %8s %24s %24s %8s\n", "size", "bytes", "GDI+ then libpng", "libpng alone", "ratio");
  for (uint32_t side : {16u, 24u, 32u, 48u, 64u, 128u, 256u}) {
    const std::vector<uint8_t> png = IconLikePng(ctx, side);
    if (png.empty()) return 1;
    const Timing both = Measure(rounds, [&](zx::UniqueBitmap& bitmap) {
      return zx::DecodePng(ctx, png.data(), png.size(), bitmap);
    });
    const Timing direct = Measure(rounds, [&](zx::UniqueBitmap& bitmap) {
      return zx::DecodePngDirect(ctx, png.data(), png.size(), bitmap);
    });
    if (both.median == 0 || direct.median == 0) {
      std::printf("%6u: decoding failed (error %lld)\n", side, static_cast<long long>(ctx.error));
      return 1;
    }
    std::printf("%3ux%-3u %7zu %12.1f / %9.1f %12.1f / %9.1f %7.1fx\n", side, side, png.size(),
                both.median, both.fastest, direct.median, direct.fastest, both.median / direct.median);
  }

  // Where the GDI+ route's time goes, whatever the image.
  const Timing streams = Measure(rounds, [&](zx::UniqueBitmap& bitmap) {
    zx::ScratchStream first;
    zx::ScratchStream second;
    bitmap.Reset(CreateBitmap(1, 1, 1, 1, nullptr));
    return zx::CreateScratchStream(ctx, &first) && zx::CreateScratchStream(ctx, &second);
  });
  const Timing startup = Measure(rounds, [&](zx::UniqueBitmap& bitmap) {
    bitmap.Reset(CreateBitmap(1, 1, 1, 1, nullptr));
    zx::GdiplusSession session(services.gdiplus());
    return session.started() ? 1 : 0;
  });
  std::printf("of which: two scratch streams created and released %.1f / %.1f; "
              "GDI+ started and shut down %.1f / %.1f\n",
              streams.median, streams.fastest, startup.median, startup.fastest);
  return 0;
}
