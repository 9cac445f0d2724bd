#include "shell/KeptHistory_win.h"

#include <algorithm>
#include <utility>

#include "base/win/WideText_win.h"
#include "base/win/Wide_win.h"
#include "controls/modCreatePath_win.h"
#include "markup/MarkupFile.h"
#include "markup/TextPainter_win.h"

namespace plenvue {

namespace {

constexpr uint64_t kDay = 24ull * 60 * 60 * 10000000;
constexpr DWORD kLargestRecord = 64 * 1024;

uint64_t Now() {
    FILETIME t{};
    GetSystemTimeAsFileTime(&t);
    return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

bool ReadWhole(const std::string& path, std::string& out, DWORD limit) {
    UniqueKernel file(CreateFileW(WideName(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > limit) return false;
    out.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    return out.empty() || (ReadFile(file.get(), out.data(), static_cast<DWORD>(out.size()), &got, nullptr) && got == out.size());
}

// A PNG cut short (the process ended mid-copy, a full disk) lacks its closing chunk.
bool LooksComplete(const std::string& path, uint64_t size) {
    if (size < 8 + 12) return false;
    UniqueKernel file(CreateFileW(WideName(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    unsigned char head[8], tail[12];
    DWORD got = 0;
    if (!ReadFile(file.get(), head, sizeof head, &got, nullptr) || got != sizeof head) return false;
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(size - sizeof tail);
    if (!SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN)) return false;
    if (!ReadFile(file.get(), tail, sizeof tail, &got, nullptr) || got != sizeof tail) return false;
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    static const unsigned char kEnd[12] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
    return std::equal(head, head + 8, kSignature) && std::equal(tail, tail + 12, kEnd);
}

// Written beside the target and moved over it only when complete: a process ended mid-write
// leaves the old file (or none), never a part of the new one.
bool WriteAtomically(const std::string& target, const void* data, size_t size, DWORD& error) {
    const std::string temp = target + ".tmp";
    {
        UniqueKernel file(CreateFileW(WideName(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            error = GetLastError();
            return false;
        }
        const auto* p = static_cast<const char*>(data);
        while (size > 0) {
            DWORD put = 0;
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1u << 24));
            if (!WriteFile(file.get(), p, chunk, &put, nullptr) || put == 0) {
                error = GetLastError();
                file.reset();
                DeleteFileW(WideName(temp).c_str());
                return false;
            }
            p += put;
            size -= put;
        }
    }
    if (!MoveFileExW(WideName(temp).c_str(), WideName(target).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
        DeleteFileW(WideName(temp).c_str());
        return false;
    }
    return true;
}

}  // namespace

KeptHistory::~KeptHistory() {
    if (!thread_) return;
    {
        std::lock_guard<std::mutex> guard(lock_);
        stopping_ = true;
    }
    SetEvent(wake_.get());
    // What was asked for is still written: ending the program loses nothing.
    WaitForSingleObject(thread_.get(), INFINITE);
}

void KeptHistory::Open(const std::string& folder, const KeptLimits& limits) {
    folder_ = folder;
    limits_ = limits;
    entries_.clear();
}

std::string KeptHistory::PathOf(const std::string& key, KeptPart part) const {
    return folder_ + "\\" + KeptFileName(key, part);
}

std::string KeptHistory::NewKey() { return KeptEntryKey(clock_.Next(Now()), GetCurrentProcessId()); }

std::vector<KeptHistory::Listed> KeptHistory::Load(std::vector<std::string>& skipped) {
    entries_.clear();
    std::vector<Listed> out;
    if (!Active()) return out;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(WideName(folder_ + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return out;
    const uint64_t now = Now();
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::string name = Narrow(found.cFileName);
        const std::string path = folder_ + "\\" + name;
        const uint64_t written = (static_cast<uint64_t>(found.ftLastWriteTime.dwHighDateTime) << 32) |
                                 found.ftLastWriteTime.dwLowDateTime;
        const uint64_t size = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        if (IsKeptTemporaryName(name)) {
            // Left by a write that never ended; a day old, no running instance is still at it.
            if (now > written && now - written > kDay) DeleteFileW(WideName(path).c_str());
            continue;
        }
        std::optional<KeptFileNameParts> parts = ParseKeptFileName(name);
        if (!parts) {
            skipped.push_back(name);
            continue;
        }
        Listed& l = entries_[parts->Key];
        l.Entry.Key = parts->Key;
        if (parts->Part == KeptPart::Copy) {
            if (!LooksComplete(path, size)) {
                skipped.push_back(name);
                continue;
            }
            l.Entry.HasCopy = true;
            l.Entry.CopyBytes = size;
            l.Copy = path;
        } else {
            std::string text;
            std::optional<std::string> file;
            if (ReadWhole(path, text, kLargestRecord)) file = ParseKeptReference(text);
            if (!file) {
                skipped.push_back(name);
                continue;
            }
            l.Entry.File = *file;
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    for (auto it = entries_.begin(); it != entries_.end();) {
        Listed& l = it->second;
        // A file the user deleted or moved away is no longer in the history; a broken record
        // beside a good copy leaves the copy listed as a capture.
        const bool fileGone = !l.Entry.File.empty() &&
                              GetFileAttributesW(WideName(l.Entry.File).c_str()) == INVALID_FILE_ATTRIBUTES;
        if (fileGone) {
            DeleteFileW(WideName(PathOf(l.Entry.Key, KeptPart::Reference)).c_str());
            l.Entry.File.clear();
        }
        if (l.Entry.File.empty() && !l.Entry.HasCopy) {
            it = entries_.erase(it);
            continue;
        }
        l.Path = l.Entry.File.empty() ? l.Copy : l.Entry.File;
        ++it;
    }
    Prune();
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) out.push_back(it->second);
    return out;
}

KeptHistory::Listed* KeptHistory::FindMutable(const std::string& path) {
    if (path.empty()) return nullptr;
    for (auto& [key, l] : entries_)
        if (l.Path == path) return &l;
    return nullptr;
}

const KeptHistory::Listed* KeptHistory::Find(const std::string& path) const {
    return const_cast<KeptHistory*>(this)->FindMutable(path);
}

std::string KeptHistory::AddPicture(const markup::MarkupDocument& doc) {
    if (!Active() || doc.Empty()) return {};
    const std::string key = NewKey();
    Listed& l = entries_[key];
    l.Entry.Key = key;
    l.Entry.HasCopy = true;
    l.Copy = l.Path = PathOf(key, KeptPart::Copy);
    KeepCopy(l.Path, doc);
    return l.Path;
}

std::string KeptHistory::AddFile(const std::string& file) {
    if (!Active() || file.empty()) return file;
    if (FindMutable(file)) return file;
    const std::string key = NewKey();
    Listed& l = entries_[key];
    l.Entry.Key = key;
    l.Entry.File = l.Path = file;
    Job job;
    job.Target = PathOf(key, KeptPart::Reference);
    job.Text = FormatKeptReference(file);
    Queue(std::move(job));
    return file;
}

void KeptHistory::KeepCopy(const std::string& path, const markup::MarkupDocument& doc) {
    Listed* l = FindMutable(path);
    if (!l || doc.Empty()) return;
    if (l->Copy.empty()) l->Copy = PathOf(l->Entry.Key, KeptPart::Copy);
    l->Entry.HasCopy = true;
    Job job;
    job.Target = l->Copy;
    job.Doc = std::make_unique<markup::MarkupDocument>();
    if (!job.Doc->Reset(doc.Base(), doc.Objects())) return;
    Queue(std::move(job));
}

std::string KeptHistory::Saved(const std::string& path, const std::string& file) {
    if (!Active()) return file;
    Listed* l = FindMutable(path);
    if (!l) return AddFile(file);
    // What the copy held is in the file now.
    if (!l->Copy.empty() && path != l->Copy) {
        Job drop;
        drop.Target = std::exchange(l->Copy, std::string());
        drop.Delete = true;
        l->Entry.HasCopy = false;
        Queue(std::move(drop));
    }
    if (!l->Entry.File.empty()) return l->Entry.File == file ? file : AddFile(file);
    // A capture saved: its entry becomes the file (one entry for the file, not two).
    if (Listed* other = FindMutable(file); other && other != l) Remove(file);
    l = FindMutable(path);
    const std::string copy = std::exchange(l->Copy, std::string());
    l->Entry.HasCopy = false;
    l->Entry.File = l->Path = file;
    Job record;
    record.Target = PathOf(l->Entry.Key, KeptPart::Reference);
    record.Text = FormatKeptReference(file);
    Queue(std::move(record));
    Job drop;
    drop.Target = copy;
    drop.Delete = true;
    Queue(std::move(drop));
    return file;
}

void KeptHistory::Remove(const std::string& path) {
    Listed* l = FindMutable(path);
    if (!l) return;
    const std::string key = l->Entry.Key;
    entries_.erase(key);
    for (KeptPart part : {KeptPart::Copy, KeptPart::Reference}) {
        Job job;
        job.Target = PathOf(key, part);
        job.Delete = true;
        Queue(std::move(job));
    }
}

void KeptHistory::Forget(const std::string& path) {
    if (const Listed* l = FindMutable(path)) entries_.erase(l->Entry.Key);
}

bool KeptHistory::OnlyInStore(const std::string& path) const {
    const Listed* l = Find(path);
    return l && l->Entry.File.empty();
}

std::vector<std::string> KeptHistory::Prune() {
    std::vector<std::string> gone;
    std::vector<KeptEntry> all;
    for (const auto& [key, l] : entries_) all.push_back(l.Entry);
    const KeptPruning pruning = PruneKept(std::move(all), limits_);
    for (const std::string& key : pruning.Copies) {
        auto it = entries_.find(key);
        if (it == entries_.end() || it->second.Copy.empty()) continue;
        Job job;
        job.Target = std::exchange(it->second.Copy, std::string());
        job.Delete = true;
        it->second.Entry.HasCopy = false;
        Queue(std::move(job));
    }
    for (const std::string& key : pruning.Entries) {
        auto it = entries_.find(key);
        if (it == entries_.end()) continue;
        gone.push_back(it->second.Path);
        Remove(it->second.Path);
    }
    return gone;
}

void KeptHistory::StartWriter() {
    if (thread_) return;
    wake_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    idle_.reset(CreateEventW(nullptr, TRUE, TRUE, nullptr));
    thread_.reset(CreateThread(nullptr, 0, &KeptHistory::WriterMain, this, 0, nullptr));
}

void KeptHistory::Queue(Job job) {
    if (!Active() || job.Target.empty()) return;
    StartWriter();
    {
        std::lock_guard<std::mutex> guard(lock_);
        // A later picture of the same copy replaces one not yet written; a deletion drops them.
        for (auto it = jobs_.begin(); it != jobs_.end();) {
            if (it->Target == job.Target && !it->Delete && (job.Delete || (job.Doc && it->Doc))) it = jobs_.erase(it);
            else ++it;
        }
        jobs_.push_back(std::move(job));
        ResetEvent(idle_.get());
    }
    SetEvent(wake_.get());
}

void KeptHistory::Fail(const std::string& reason) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        failure_ = reason;
    }
    if (notifyWindow_) PostMessageW(notifyWindow_, notifyMessage_, 0, 0);
}

std::string KeptHistory::TakeFailure() {
    std::lock_guard<std::mutex> guard(lock_);
    return std::exchange(failure_, std::string());
}

void KeptHistory::Flush() {
    if (thread_) WaitForSingleObject(idle_.get(), INFINITE);
}

DWORD WINAPI KeptHistory::WriterMain(void* self) {
    static_cast<KeptHistory*>(self)->Run();
    return 0;
}

void KeptHistory::Run() {
    markup::GdiTextPainter painter;  // this thread's own
    bool folderMade = false;
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> guard(lock_);
            if (jobs_.empty()) {
                SetEvent(idle_.get());
                if (stopping_) return;
                guard.unlock();
                WaitForSingleObject(wake_.get(), INFINITE);
                continue;
            }
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        try {
            if (job.Delete) {
                DeleteFileW(WideName(job.Target).c_str());
                continue;
            }
            if (!folderMade) folderMade = CreatePath(folder_);
            DWORD error = 0;
            std::string reason;
            bool ok = false;
            if (job.Doc) {
                job.Doc->SetTextPainter(&painter);
                std::vector<uint8_t> bytes;
                ok = markup::EncodeEditablePng(*job.Doc, bytes, reason) &&
                     WriteAtomically(job.Target, bytes.data(), bytes.size(), error);
            } else {
                ok = WriteAtomically(job.Target, job.Text.data(), job.Text.size(), error);
            }
            if (!ok) Fail(error ? SystemErrorText(error) : reason);
        } catch (const std::exception& e) {
            Fail(e.what());  // out of memory for one copy: the next write tries again
        }
    }
}

}  // namespace plenvue
