// Stand-ins for what the HTML writer needs of its surroundings: a progress receiver with scripted
// answers, an in-memory file system whose writes can be made to fail, and a view of the real
// file system rooted in a private folder.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "frontend/messages.h"
#include "platform/file.h"
#include "results/progress_receiver.h"
#include "tests/support/whole_file.h"

class CScriptedReceiver : public CProgressReceiver {
  public:
    std::vector<std::string> calls;    // "Progress p t n", "Retry <message>", "YesNo <message>"
    std::deque<bool> retryAnswers;     // Cancel once these run out
    std::deque<bool> yesNoAnswers;     // No once these run out
    std::deque<bool> progressAnswers;  // go on once these run out

    bool ReportProgress(std::int32_t position, std::int32_t total,
                        std::int64_t resultsWritten) override {
        calls.push_back("Progress " + std::to_string(position) + " " + std::to_string(total) + " " +
                        std::to_string(resultsWritten));
        return Next(progressAnswers, true);
    }
    bool AskRetry(const std::string& reason) override {
        calls.push_back("Retry " + WriteRetryQuestion(reason));
        return Next(retryAnswers, false);
    }
    bool AskYesNo(const std::string& message) override {
        calls.push_back("YesNo " + message);
        return Next(yesNoAnswers, false);
    }

  private:
    static bool Next(std::deque<bool>& answers, bool otherwise) {
        if (answers.empty()) return otherwise;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// Files live in a map. Each write consumes one entry of `writeScript` when there is one: a
// number of bytes that go out before the write fails (with error 28), or -1 for a write that
// succeeds whole.
class CMemoryFileSystem : public CFileSystem {
  public:
    struct File {
        std::string contents;
        bool open = false;
    };

    bool hasTempFolder = true;
    std::string tempFolder = "T:/tmp/";
    std::map<std::string, File> files;
    std::deque<long> writeScript;
    std::uint64_t sizeBias = 0;  // added to every size the files report
    bool sizeKnown = true;
    SystemErrorCode closeError = 0;  // when not 0, closing a file fails with it
    int creations = 0;               // CreateNewFile calls, successful or not

    bool GetTempFolder(std::string& folder) override {
        if (!hasTempFolder) return false;
        folder = tempFolder;
        return true;
    }

    std::unique_ptr<CWritableFile> CreateNewFile(const std::string& path) override {
        ++creations;
        if (files.count(path) != 0) return nullptr;
        File& file = files[path];
        file.open = true;
        return std::make_unique<CMemoryFile>(*this, file);
    }

    std::string DescribeError(SystemErrorCode error) override {
        return "the disk is full (" + std::to_string(error) + ")";
    }

  private:
    class CMemoryFile : public CWritableFile {
      public:
        CMemoryFile(CMemoryFileSystem& owner, File& file) : owner_(owner), file_(file) {}
        ~CMemoryFile() override { file_.open = false; }

        bool Write(const char* bytes, std::size_t count, std::size_t& written,
                   SystemErrorCode& error) override {
            long allowed = -1;
            if (!owner_.writeScript.empty()) {
                allowed = owner_.writeScript.front();
                owner_.writeScript.pop_front();
            }
            if (allowed < 0 || static_cast<std::size_t>(allowed) >= count) {
                file_.contents.append(bytes, count);
                written = count;
                return true;
            }
            file_.contents.append(bytes, static_cast<std::size_t>(allowed));
            written = static_cast<std::size_t>(allowed);
            error = 28;
            return false;
        }

        bool GetSize(std::uint64_t& size) override {
            if (!owner_.sizeKnown) return false;
            size = file_.contents.size() + owner_.sizeBias;
            return true;
        }

        bool Close(SystemErrorCode& error) override {
            file_.open = false;
            error = owner_.closeError;
            return error == 0;
        }

      private:
        CMemoryFileSystem& owner_;
        File& file_;
    };
};

// The system's file system with its temporary folder moved to a fresh private folder, so that
// tests see exactly the files they make.
class CPrivateTempFileSystem : public CFileSystem {
  public:
    CPrivateTempFileSystem();
    ~CPrivateTempFileSystem() override;

    const std::filesystem::path& Folder() const { return folder_; }

    bool GetTempFolder(std::string& folder) override;
    std::unique_ptr<CWritableFile> CreateNewFile(const std::string& path) override {
        return SystemFileSystem().CreateNewFile(path);
    }
    std::string DescribeError(SystemErrorCode error) override {
        return SystemFileSystem().DescribeError(error);
    }

  private:
    std::filesystem::path folder_;
};
