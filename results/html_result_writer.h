// The result sink that writes every find as a coloured letter grid into an HTML page in the
// temporary folder, as the search goes.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/file.h"
#include "results/page_legend.h"
#include "results/progress_receiver.h"
#include "results/text_buffer.h"
#include "search/result_sink.h"

// A page holding more than this many bytes makes the writer ask once before the next find.
inline constexpr std::uint64_t kResultsSizeWarningBytes = 5 * 1024 * 1024;

// How a page shows letters that are not A-Z: the UTF-8 text of each byte value of the search
// text, and whether the grid rows read right to left (Hebrew).
struct PageScript {
    std::array<std::string, 256> letters;
    bool rightToLeft = false;
};

class CHtmlResultWriter : public CResultSink {
  public:
    // `receiver` receives progress and answers the writer's questions; `fileSystem` is where the
    // page is made (tests pass their own). Neither is owned.
    explicit CHtmlResultWriter(CProgressReceiver& receiver,
                               CFileSystem& fileSystem = SystemFileSystem());
    CHtmlResultWriter(const CHtmlResultWriter&) = delete;  // owns the open page
    CHtmlResultWriter& operator=(const CHtmlResultWriter&) = delete;

    // Called before Begin: the page declares UTF-8 and shows every letter in the script. Without
    // it the grid holds the search text's own bytes.
    void SetScript(PageScript script) { script_ = std::move(script); }

    // Called before Begin: the page says what it shows, with a legend of the keywords' colours
    // under its heading and a caption above each grid. Without it the page has neither.
    void SetLegend(PageLegend legend) { legend_.emplace(std::move(legend)); }

    // Closes the page if it is still open. The page itself is never deleted here.
    ~CHtmlResultWriter() override;

    // Creates els000000.htm (or the first free name up to els099998.htm) in the temporary folder
    // and writes the page header. On false the error text says why, or is empty when the user
    // has already seen the write error and chose Cancel.
    bool Begin(std::string& errorText) override;

    // Writes one find as a grid of `columns` letters a row. Asks once, before the first find
    // that arrives when the page is past kResultsSizeWarningBytes, whether to go on. False (No, or
    // Cancel after a write error) leaves the page without this find and without footer.
    bool AddResult(const char* text, std::int32_t first, std::int32_t last, std::int32_t columns,
                   const ResultPositions& positions) override;

    // Writes the canceled line or "No Results Found." as due, then the footer, and closes the
    // page. False when a write was canceled (the page then stays open until destruction) or when
    // the close reported an error (GetCloseError says which).
    bool End(bool canceled) override;

    // Passes the report on to the receiver with the number of finds written; answers its answer.
    bool Progress(std::int32_t position, std::int32_t total) override;

    // The page's full path once Begin has created it; empty before, or when it could not.
    std::string GetFilePath() const;

    // The system's reason when closing the finished page failed, so that it may not hold every
    // byte written; empty when the close succeeded or did not happen.
    const std::string& GetCloseError() const { return closeError_; }

    // The number of finds written to the page so far.
    std::int64_t GetResultsWritten() const { return resultsWritten_; }

  private:
    bool CreateResultsFile(std::string& errorText);
    bool WriteText(std::string_view text);
    bool WriteBytes(const char* bytes, std::size_t count);

    bool sizeWarned_ = false;
    std::string filePath_;
    std::unique_ptr<CWritableFile> file_;  // null when no page is open
    std::int64_t resultsWritten_ = 0;
    std::string closeError_;
    CProgressReceiver& receiver_;
    CTextBuffer markup_;
    std::optional<PageScript> script_;
    std::optional<CPageLegend> legend_;
    // The keyword letters of the grid being written: their cell and their keyword, by cell.
    std::vector<std::pair<std::int64_t, std::int32_t>> marks_;
    CFileSystem& fileSystem_;
};
