#include "imaging/scratch_stream_win.h"

#include <algorithm>
#include <utility>

#include "core/messages.h"
#include "core/win_text.h"
#include "imaging/thread_services_win.h"

namespace zx {
namespace {

constexpr int kSiteNoPair = 4;
constexpr int kSiteStorage = 5;
constexpr int kSiteStream = 6;
constexpr int kSiteRecord = 7;

// STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE: a nameless
// compound file that the system deletes when its storage is released.
constexpr DWORD kStorageMode = 0x04000012;
// STGM_READWRITE | STGM_SHARE_EXCLUSIVE: the stream inside it.
constexpr DWORD kStreamMode = 0x12;

// IStream moves at most 4 GiB - 1 bytes per call.
constexpr uint64_t kLargestTransfer = 0x40000000;

int ResolveStorageCreator(ScratchStreamRegistry& registry) {
  if (registry.createStorage) return 1;
  if (!registry.ole32) registry.ole32.Reset(LoadLibraryW(L"ole32.dll"));
  if (!registry.ole32) return 0;
  registry.createStorage = reinterpret_cast<StorageCreator>(
      reinterpret_cast<void*>(GetProcAddress(registry.ole32.get(), "StgCreateStorageEx")));
  return registry.createStorage != nullptr;
}

void LogStorageFailure(ScratchStreamRegistry& registry, HRESULT result) {
  if (!registry.conversionThread || !registry.conversionLog) return;
  const char16_t* text = StorageFailureLogText(result);
  if (!text) return;
  registry.conversionLog(text);
  registry.conversionLog(u"");
}

}  // namespace

ScratchStreamRegistry::~ScratchStreamRegistry() {
  for (auto& [storage, stream] : live) {
    if (stream) stream->Release();
    if (storage) storage->Release();
  }
  live.clear();
}

ScratchStream::~ScratchStream() {
  if (owner_) ReleaseScratchStream(*owner_, this);
}

const char16_t* StorageFailureLogText(HRESULT result) {
  switch (result) {
    case STG_E_ACCESSDENIED: return u"erreur #STG_E_ACCESSDENIED";
    case STG_E_SHAREVIOLATION: return u"erreur #STG_E_SHAREVIOLATION";
    case STG_E_LOCKVIOLATION: return u"erreur #STG_E_LOCKVIOLATION";
    case STG_E_FILEALREADYEXISTS: return u"erreur #STG_E_FILEALREADYEXISTS";
    case STG_E_INVALIDPARAMETER: return u"erreur #STG_E_INVALIDPARAMETER";
    case STG_E_INVALIDNAME: return u"erreur #STG_E_INVALIDNAME";
    case STG_E_INVALIDFLAG: return u"erreur #STG_E_INVALIDFLAG";
    default: return nullptr;
  }
}

int CreateScratchStream(ThreadContext& ctx, ScratchStream* pair) {
  if (!pair) return Fail(ctx, kMsgStreamCreate, kSiteNoPair);
  // A pair still holding streams is released first, so nothing leaks.
  ReleaseScratchStream(ctx, pair);
  ScratchStreamRegistry* registry = ScratchStreamsOf(ctx);
  if (!registry) return Fail(ctx, kMsgStreamCreate, kSiteRecord);
  if (!ResolveStorageCreator(*registry)) return Fail(ctx, kMsgStreamCreate, kSiteStorage);

  IStorage* storage = nullptr;
  const HRESULT created = registry->createStorage(nullptr, kStorageMode, STGFMT_STORAGE, 0, nullptr, nullptr,
                                 IID_IStorage, reinterpret_cast<void**>(&storage));
  if (FAILED(created) || !storage) {
    LogStorageFailure(*registry, created);
    return Fail(ctx, kMsgStreamCreate, kSiteStorage);
  }
  ComPtr<IStorage> ownedStorage(storage);

  ++registry->counter;
  std::u16string name = registry->conversionThread ? u"" : u"_";
  name += FromWide(std::to_wstring(registry->counter));
  IStream* stream = nullptr;
  if (FAILED(storage->CreateStream(Wide(name), kStreamMode, 0, 0, &stream)) || !stream) {
    return Fail(ctx, kMsgStreamCreate, kSiteStream);
  }
  ComPtr<IStream> ownedStream(stream);
  if (!registry->live.emplace(storage, stream).second) {
    return Fail(ctx, kMsgStreamCreate, kSiteRecord);
  }
  pair->storage_ = ownedStorage.Detach();
  pair->stream_ = ownedStream.Detach();
  pair->owner_ = &ctx;
  pair->name_ = std::move(name);
  return 1;
}

void ReleaseScratchStream(ThreadContext& ctx, ScratchStream* pair) {
  if (!pair || !pair->storage_) return;
  ScratchStreamRegistry* registry = ScratchStreamsOf(ctx);
  if (!registry) return;
  const auto found = registry->live.find(pair->storage_);
  if (found == registry->live.end()) return;
  if (found->second) found->second->Release();
  found->first->Release();
  registry->live.erase(found);
  pair->storage_ = nullptr;
  pair->stream_ = nullptr;
  pair->owner_ = nullptr;
}

int ScratchStream::Write(ThreadContext& ctx, const uint8_t* data, uint64_t count, int site) {
  if (count == 0) return 1;
  if (!stream_ || !data) return Fail(ctx, kMsgStreamWrite, site);
  while (count > 0) {
    const ULONG chunk = static_cast<ULONG>(std::min(count, kLargestTransfer));
    ULONG written = 0;
    if (FAILED(stream_->Write(data, chunk, &written)) || written != chunk) {
      return Fail(ctx, kMsgStreamWrite, site);
    }
    data += chunk;
    count -= chunk;
  }
  return 1;
}

int ScratchStream::Read(ThreadContext& ctx, uint8_t* buffer, uint64_t count, uint64_t& read,
                        int site) {
  read = 0;
  if (count == 0) return 1;
  if (!stream_ || !buffer) return Fail(ctx, kMsgStreamRead, site);
  while (count > 0) {
    const ULONG chunk = static_cast<ULONG>(std::min(count, kLargestTransfer));
    ULONG got = 0;
    if (FAILED(stream_->Read(buffer + read, chunk, &got))) return Fail(ctx, kMsgStreamRead, site);
    read += got;
    count -= got;
    if (got < chunk) break;  // the end of the stream
  }
  return 1;
}

int ScratchStream::Seek(ThreadContext& ctx, int64_t offset, SeekOrigin origin,
                        uint64_t* newPosition, int site) {
  if (!stream_) return Fail(ctx, kMsgStreamSeek, site);
  // The target is worked out here so that a position before the start fails
  // on every system (some streams would accept it).
  int64_t base = 0;
  if (origin == SeekOrigin::kCurrent) {
    LARGE_INTEGER none{};
    ULARGE_INTEGER current{};
    if (FAILED(stream_->Seek(none, STREAM_SEEK_CUR, &current))) return Fail(ctx, kMsgStreamSeek, site);
    base = static_cast<int64_t>(current.QuadPart);
  } else if (origin == SeekOrigin::kEnd) {
    uint64_t size = 0;
    if (!Size(ctx, size, site)) return 0;
    base = static_cast<int64_t>(size);
  } else if (origin != SeekOrigin::kStart) {
    return Fail(ctx, kMsgStreamSeek, site);
  }
  LARGE_INTEGER target{};
  if (__builtin_add_overflow(base, offset, &target.QuadPart) || target.QuadPart < 0) {
    return Fail(ctx, kMsgStreamSeek, site);
  }
  ULARGE_INTEGER position{};
  if (FAILED(stream_->Seek(target, STREAM_SEEK_SET, &position))) return Fail(ctx, kMsgStreamSeek, site);
  if (newPosition) *newPosition = position.QuadPart;
  return 1;
}

int ScratchStream::SetSize(ThreadContext& ctx, uint64_t size, int site) {
  if (!stream_) return Fail(ctx, kMsgStreamWrite, site);
  ULARGE_INTEGER newSize;
  newSize.QuadPart = size;
  if (FAILED(stream_->SetSize(newSize))) return Fail(ctx, kMsgStreamWrite, site);
  return 1;
}

int ScratchStream::CopyTo(ThreadContext& ctx, ByteStream& destination, uint64_t count,
                          uint64_t& copied, int site) {
  copied = 0;
  if (!stream_) return Fail(ctx, kMsgStreamRead, site);
  auto* scratch = dynamic_cast<ScratchStream*>(&destination);
  if (scratch && scratch->stream_ && scratch != this) {
    ULARGE_INTEGER wanted;
    wanted.QuadPart = count;
    ULARGE_INTEGER read{};
    ULARGE_INTEGER written{};
    if (FAILED(stream_->CopyTo(scratch->stream_, wanted, &read, &written)) ||
        read.QuadPart != written.QuadPart) {
      return Fail(ctx, kMsgStreamWrite, site);
    }
    copied = written.QuadPart;
    return 1;
  }
  if (&destination == this) {
    // One stream, one position: its bytes stay as they are and the position
    // moves past them, as with any other byte stream.
    uint64_t size = 0;
    uint64_t position = 0;
    if (!Size(ctx, size, site) || !Seek(ctx, 0, SeekOrigin::kCurrent, &position, site)) return 0;
    copied = position < size ? std::min(count, size - position) : 0;
    return SeekTo(ctx, *this, position + copied, site);
  }
  // Any other stream: through a buffer, a block at a time.
  uint8_t buffer[16384];
  while (copied < count) {
    uint64_t got = 0;
    if (!Read(ctx, buffer, std::min<uint64_t>(sizeof(buffer), count - copied), got, site)) return 0;
    if (got == 0) break;
    if (!destination.Write(ctx, buffer, got, site)) return 0;
    copied += got;
  }
  return 1;
}

int ScratchStream::Size(ThreadContext& ctx, uint64_t& size, int site) {
  size = 0;
  STATSTG stat{};
  if (!stream_ || FAILED(stream_->Stat(&stat, STATFLAG_NONAME))) {
    return Fail(ctx, kMsgStreamSeek, site);
  }
  size = stat.cbSize.QuadPart;
  return 1;
}

}  // namespace zx
