// The kept history on disk (%LOCALAPPDATA%\Plenvue\History): every capture and paste is written
// there as soon as it is taken, and the drawings on a picture as they are made, so that nothing is
// lost when Plenvue ends, however it ends. Writes run on a thread of their own, each to a
// temporary file moved over its target only when complete; the window's thread never waits on
// them (except Flush, for the end of the run and for tests). See shell/KeptHistory.h for the names.
#pragma once
#include <windows.h>

#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/win/Handles_win.h"
#include "markup/MarkupDocument.h"
#include "shell/KeptHistory.h"

namespace plenvue {

class KeptHistory {
public:
    KeptHistory() = default;
    ~KeptHistory();
    KeptHistory(const KeptHistory&) = delete;
    KeptHistory& operator=(const KeptHistory&) = delete;

    // Where the store is; an empty folder keeps nothing (and every call below does nothing).
    // The folder is made when first written.
    void Open(const std::string& folder, const KeptLimits& limits);
    bool Active() const { return !folder_.empty(); }
    const std::string& Folder() const { return folder_; }
    void SetLimits(const KeptLimits& limits) { limits_ = limits; }

    struct Listed {
        KeptEntry Entry;
        std::string Path;  // the history pane's path: the user's file, else the kept copy
        std::string Copy;  // the kept copy's path, empty without one
    };
    // The entries found in the folder, newest first, after the limits took what is over them.
    // `skipped`: names of files in the folder that are no entry (foreign or unreadable records);
    // left where they are.
    std::vector<Listed> Load(std::vector<std::string>& skipped);
    // The entry listed (or added this run) under the pane's path, or null.
    const Listed* Find(const std::string& path) const;

    // A capture or paste: a new entry whose kept copy is the document; the pane's path for it.
    std::string AddPicture(const markup::MarkupDocument& doc);
    // A file opened or saved: an entry naming it (the one already there, if any); its pane path.
    std::string AddFile(const std::string& file);
    // The picture of the entry under `path` was changed: its kept copy is written anew.
    void KeepCopy(const std::string& path, const markup::MarkupDocument& doc);
    // The entry under `path` was saved to `file`: it becomes that file, its kept copy goes. The
    // pane's new path (the file's); an entry of that file already there is merged into it.
    std::string Saved(const std::string& path, const std::string& file);
    // Takes the entry off: its kept copy and record go, never the user's file.
    void Remove(const std::string& path);
    // Leaves the entry out of this run (its picture could not be read); its files stay.
    void Forget(const std::string& path);
    // Every entry of the store and this run, by key.
    const std::map<std::string, Listed>& Entries() const { return entries_; }
    // True when the entry holds a picture only its kept copy has (a capture never saved).
    bool OnlyInStore(const std::string& path) const;
    // Applies the limits to the entries of this run too; the pane paths of entries that went.
    std::vector<std::string> Prune();
    // Waits until every write asked for so far is done.
    void Flush();
    // A write that failed (a full disk, a folder that cannot be made) posts `message` to the
    // window; TakeFailure then gives the system's text for it, once.
    void NotifyFailures(HWND window, UINT message) {
        notifyWindow_ = window;
        notifyMessage_ = message;
    }
    std::string TakeFailure();

private:
    struct Job {
        std::string Target;  // full path written or deleted
        std::unique_ptr<markup::MarkupDocument> Doc;  // a copy to write
        std::string Text;    // a record to write
        bool Delete = false;
    };
    static DWORD WINAPI WriterMain(void* self);
    void Run();
    void Queue(Job job);
    void StartWriter();
    void Fail(const std::string& reason);
    std::string NewKey();
    std::string PathOf(const std::string& key, KeptPart part) const;
    Listed* FindMutable(const std::string& path);

    std::string folder_;
    KeptLimits limits_;
    KeptKeyClock clock_;
    std::map<std::string, Listed> entries_;  // by key

    std::mutex lock_;
    std::deque<Job> jobs_;
    bool stopping_ = false;
    std::string failure_;
    HWND notifyWindow_ = nullptr;
    UINT notifyMessage_ = 0;
    int busy_ = 0;
    UniqueKernel wake_;  // auto-reset: a job was queued or the writer is to stop
    UniqueKernel idle_;  // manual-reset: set while nothing is queued or being written
    UniqueKernel thread_;
};

}  // namespace plenvue
