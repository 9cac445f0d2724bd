#include "markup/BlobStore.h"

#include <zlib.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <limits>
#include <utility>

#include "base/FileNames.h"

namespace plenvue::markup {

namespace {

// Speed over size: deltas are mostly zero runs, which the fastest level packs nearly as well.
constexpr int kLevel = 1;

bool Deflate(const uint8_t* data, size_t size, std::vector<uint8_t>& out) {
    z_stream zs{};
    if (deflateInit(&zs, kLevel) != Z_OK) return false;
    out.resize(deflateBound(&zs, static_cast<uLong>(std::min<size_t>(size, std::numeric_limits<uLong>::max()))) + 64);
    size_t done = 0, written = 0;
    int rc = Z_OK;
    while (rc != Z_STREAM_END) {
        // zlib's counts are 32-bit: feed and drain in pieces.
        const size_t in = std::min<size_t>(size - done, 1u << 30);
        zs.next_in = const_cast<Bytef*>(data + done);
        zs.avail_in = static_cast<uInt>(in);
        if (out.size() - written < 65536) out.resize(out.size() + (out.size() >> 1) + 65536);
        zs.next_out = out.data() + written;
        zs.avail_out = static_cast<uInt>(std::min<size_t>(out.size() - written, 1u << 30));
        const uInt availIn = zs.avail_in, availOut = zs.avail_out;
        rc = deflate(&zs, done + in == size ? Z_FINISH : Z_NO_FLUSH);
        if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) {
            deflateEnd(&zs);
            return false;
        }
        done += availIn - zs.avail_in;
        written += availOut - zs.avail_out;
    }
    deflateEnd(&zs);
    out.resize(written);
    out.shrink_to_fit();
    return true;
}

bool Inflate(const uint8_t* data, size_t size, size_t rawSize, std::vector<uint8_t>& out) {
    out.resize(rawSize);
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) return false;
    size_t done = 0, written = 0;
    int rc = Z_OK;
    while (rc != Z_STREAM_END) {
        const size_t in = std::min<size_t>(size - done, 1u << 30);
        const size_t room = std::min<size_t>(rawSize - written, 1u << 30);
        zs.next_in = const_cast<Bytef*>(data + done);
        zs.avail_in = static_cast<uInt>(in);
        zs.next_out = out.data() + written;
        zs.avail_out = static_cast<uInt>(room);
        rc = inflate(&zs, Z_NO_FLUSH);
        const size_t took = in - zs.avail_in, gave = room - zs.avail_out;
        done += took;
        written += gave;
        if (rc == Z_STREAM_END) break;
        if ((rc != Z_OK && rc != Z_BUF_ERROR) || (took == 0 && gave == 0)) {
            inflateEnd(&zs);
            return false;
        }
    }
    inflateEnd(&zs);
    return written == rawSize;
}

std::string NewFileName(const std::string& folder) {
    static std::atomic<uint32_t> counter{0};
    const auto now = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    const auto tag = reinterpret_cast<uintptr_t>(&counter) ^ now;
    std::string base = folder;
    if (base.empty()) {
        std::error_code ec;
        const std::u8string name = std::filesystem::temp_directory_path(ec).u8string();
        if (ec) return {};
        base.assign(reinterpret_cast<const char*>(name.data()), name.size());
    }
    if (!base.empty() && base.back() != '/' && base.back() != '\\') base += '/';
    return base + "plenvue-history-" + std::to_string(tag % 1000000007u) + "-" + std::to_string(++counter) + ".tmp";
}

}  // namespace

BlobStore::BlobStore(size_t memoryLimit, std::string folder) : memoryLimit_(memoryLimit), folder_(std::move(folder)) {}

BlobStore::~BlobStore() {
    if (file_) {
        std::fclose(file_);
        RemoveFileUtf8(path_);
    }
}

size_t BlobStore::Count() const {
    size_t n = 0;
    for (const Block& b : blocks_) n += b.live ? 1 : 0;
    return n;
}

void BlobStore::MemoryLimit(size_t limit) {
    memoryLimit_ = limit;
    Spill();
}

BlobStore::Handle BlobStore::Put(const uint8_t* data, size_t size) {
    Block b;
    b.live = true;
    b.rawSize = size;
    if (size && !Deflate(data, size, b.packed)) {
        b.packed.assign(data, data + size);  // kept raw rather than lost
        b.raw = true;
    }
    b.packedSize = b.packed.size();
    memoryBytes_ += b.packed.size();
    Handle h;
    if (!free_.empty()) {
        h = free_.back();
        free_.pop_back();
        blocks_[h] = std::move(b);
        if (h < spillFrom_) spillFrom_ = h;
    } else {
        h = static_cast<Handle>(blocks_.size());
        blocks_.push_back(std::move(b));
    }
    Spill();
    return h;
}

bool BlobStore::Get(Handle h, std::vector<uint8_t>& out) const {
    if (h >= blocks_.size() || !blocks_[h].live) return false;
    const Block& b = blocks_[h];
    if (b.rawSize == 0) {
        out.clear();
        return true;
    }
    std::vector<uint8_t> spilled;
    const std::vector<uint8_t>* packed = &b.packed;
    if (b.inFile) {
        spilled.resize(b.packedSize);
        if (!file_ || std::fflush(file_) != 0) return false;
        // 64-bit seeks: the file may pass 2 GiB on a long session.
#ifdef _WIN32
        if (_fseeki64(file_, static_cast<int64_t>(b.offset), SEEK_SET) != 0) return false;
#else
        if (fseeko(file_, static_cast<off_t>(b.offset), SEEK_SET) != 0) return false;
#endif
        if (std::fread(spilled.data(), 1, spilled.size(), file_) != spilled.size()) return false;
        packed = &spilled;
    }
    if (b.raw) {
        out = *packed;
        return true;
    }
    return Inflate(packed->data(), packed->size(), b.rawSize, out);
}

void BlobStore::Release(Handle h) {
    if (h >= blocks_.size() || !blocks_[h].live) return;
    Block& b = blocks_[h];
    memoryBytes_ -= b.packed.size();
    b = Block{};
    free_.push_back(h);
}

bool BlobStore::OpenFile() {
    if (file_) return true;
    if (fileFailed_) return false;
    path_ = NewFileName(folder_);
    file_ = path_.empty() ? nullptr : OpenFileUtf8(path_, "w+b");
    if (!file_) fileFailed_ = true;
    return file_ != nullptr;
}

void BlobStore::Spill() {
    while (memoryBytes_ > memoryLimit_ && spillFrom_ < blocks_.size()) {
        Block& b = blocks_[spillFrom_];
        if (b.live && !b.inFile && !b.packed.empty()) {
            if (!OpenFile()) return;
#ifdef _WIN32
            if (_fseeki64(file_, 0, SEEK_END) != 0) return;
#else
            if (fseeko(file_, 0, SEEK_END) != 0) return;
#endif
            if (std::fwrite(b.packed.data(), 1, b.packed.size(), file_) != b.packed.size() || std::fflush(file_) != 0) {
                // A full disk: keep it in memory, and stop trying.
                fileFailed_ = true;
                return;
            }
            b.offset = fileBytes_;
            b.inFile = true;
            fileBytes_ += b.packed.size();
            memoryBytes_ -= b.packed.size();
            b.packed.clear();
            b.packed.shrink_to_fit();
        }
        ++spillFrom_;
    }
}

void BlobStore::Swap(BlobStore& other) noexcept {
    std::swap(blocks_, other.blocks_);
    std::swap(free_, other.free_);
    std::swap(memoryLimit_, other.memoryLimit_);
    std::swap(memoryBytes_, other.memoryBytes_);
    std::swap(fileBytes_, other.fileBytes_);
    std::swap(folder_, other.folder_);
    std::swap(path_, other.path_);
    std::swap(file_, other.file_);
    std::swap(fileFailed_, other.fileFailed_);
    std::swap(spillFrom_, other.spillFrom_);
}

}  // namespace plenvue::markup
