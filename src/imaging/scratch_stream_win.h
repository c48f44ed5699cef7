// Scratch streams: growable temporary byte streams, each inside its own
// compound file that the system deletes when the storage is released. The
// image codec and the writers assemble and read back their bytes in them.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "core/thread_context.h"
#include "core/win_handles.h"
#include "imaging/byte_stream.h"

namespace zx {

// StgCreateStorageEx, resolved by name from ole32.dll.
using StorageCreator = HRESULT(WINAPI*)(const WCHAR* name, DWORD mode, DWORD format,
                                        DWORD attributes, void* options, void* security,
                                        REFIID interfaceId, void** object);

// One thread's live scratch streams. Only recorded pairs are released, so a
// stray or repeated release does nothing; whatever is left when the thread
// ends is released with the registry.
struct ScratchStreamRegistry {
  ScratchStreamRegistry() = default;
  ScratchStreamRegistry(const ScratchStreamRegistry&) = delete;
  ScratchStreamRegistry& operator=(const ScratchStreamRegistry&) = delete;
  ~ScratchStreamRegistry();

  // Counts creations; the stream name is built from it.
  uint32_t counter = 0;
  // The conversion worker names its streams by the counter alone and logs
  // storage failures; the user-interface thread prefixes "_".
  bool conversionThread = false;
  // The conversion worker's log: called with one line (no line break) at a time.
  std::function<void(const std::u16string&)> conversionLog;
  // This thread's handle on ole32.dll and the storage creator resolved from
  // it on first use (a test may put its own creator here).
  UniqueModule ole32;
  StorageCreator createStorage = nullptr;
  // Live storages and the stream created in each.
  std::map<IStorage*, IStream*> live;
};

// A (storage, stream) pair. Created by CreateScratchStream, released by
// ReleaseScratchStream or, at the latest, when the object goes away.
class ScratchStream final : public ByteStream {
 public:
  ScratchStream() = default;
  ScratchStream(const ScratchStream&) = delete;
  ScratchStream& operator=(const ScratchStream&) = delete;
  ~ScratchStream() override;

  IStorage* storage() const { return storage_; }
  IStream* stream() const { return stream_; }
  // The name the stream got inside its storage.
  const std::u16string& name() const { return name_; }

  int Write(ThreadContext& ctx, const uint8_t* data, uint64_t count, int site) override;
  int Read(ThreadContext& ctx, uint8_t* buffer, uint64_t count, uint64_t& read,
           int site) override;
  int Seek(ThreadContext& ctx, int64_t offset, SeekOrigin origin, uint64_t* newPosition,
           int site) override;
  int SetSize(ThreadContext& ctx, uint64_t size, int site) override;
  int CopyTo(ThreadContext& ctx, ByteStream& destination, uint64_t count, uint64_t& copied,
             int site) override;
  int Size(ThreadContext& ctx, uint64_t& size, int site) override;

 private:
  friend int CreateScratchStream(ThreadContext& ctx, ScratchStream* pair);
  friend void ReleaseScratchStream(ThreadContext& ctx, ScratchStream* pair);

  ThreadContext* owner_ = nullptr;  // the context whose registry records the pair
  IStorage* storage_ = nullptr;
  IStream* stream_ = nullptr;
  std::u16string name_;
};

// Creates the storage and its stream and records the pair in the thread's
// registry. Message 8: site 4 no pair given, 5 the storage, 6 the stream, 7
// the record (no registry attached to the context, or the record failed).
int CreateScratchStream(ThreadContext& ctx, ScratchStream* pair);

// Releases a recorded pair and clears it; an unrecorded or empty pair is left alone.
void ReleaseScratchStream(ThreadContext& ctx, ScratchStream* pair);

// The conversion log's text for a storage that could not be created, or
// nullptr for a result that is not logged.
const char16_t* StorageFailureLogText(HRESULT result);

}  // namespace zx
