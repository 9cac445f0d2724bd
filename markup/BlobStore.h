// Compressed byte blocks of the history (pixel deltas, cropped-away frames): kept in memory up to a
// budget, the oldest moved to a temporary file beyond it. Nothing is ever dropped: when the file
// cannot be had, blocks stay in memory.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace plenvue::markup {

class BlobStore {
public:
    using Handle = uint32_t;

    // `folder`: where the temporary file goes (empty: the system's temporary folder).
    explicit BlobStore(size_t memoryLimit = size_t{256} << 20, std::string folder = {});
    ~BlobStore();
    BlobStore(const BlobStore&) = delete;
    BlobStore& operator=(const BlobStore&) = delete;

    // Compresses and keeps the bytes; the handle names them until Release.
    Handle Put(const uint8_t* data, size_t size);
    // The bytes as put. False only when a spilled block cannot be read back (a disk error).
    bool Get(Handle h, std::vector<uint8_t>& out) const;
    void Release(Handle h);

    size_t MemoryBytes() const { return memoryBytes_; }  // compressed bytes held in memory
    size_t FileBytes() const { return fileBytes_; }      // the temporary file's length
    size_t Count() const;                                // live blocks
    void MemoryLimit(size_t limit);
    // Exchanges every block and the temporary file with another store (documents set aside and
    // taken up again keep their history).
    void Swap(BlobStore& other) noexcept;

private:
    struct Block {
        bool live = false;
        bool raw = false;  // stored as given: deflate failed
        size_t rawSize = 0;
        std::vector<uint8_t> packed;  // empty once spilled
        bool inFile = false;
        uint64_t offset = 0;
        size_t packedSize = 0;
    };
    void Spill();
    bool OpenFile();

    std::vector<Block> blocks_;
    std::vector<Handle> free_;
    size_t memoryLimit_;
    size_t memoryBytes_ = 0;
    size_t fileBytes_ = 0;
    std::string folder_;
    std::string path_;
    std::FILE* file_ = nullptr;
    bool fileFailed_ = false;
    size_t spillFrom_ = 0;  // blocks below this are spilled or dead; spill goes oldest first
};

}  // namespace plenvue::markup
