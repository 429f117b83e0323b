#include "cli/shard_command.h"
#include "cli/exit_status.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "cli/console.h"
#include "cli/output_files.h"
#include "cli/proximity_command.h"
#include "cli/standard_output.h"
#include "common/partial_file.h"
#include "platform/document_file.h"
#include "proximity/proximity_partial.h"
#include "results/json_writer.h"

namespace {

bool WriteStandardOutput(const std::string& content) {
    return StandardOutput().Write(content) && StandardOutput().Flush();
}

// Reads the partial at `path` whole into `text`; on failure, one sentence naming the file and
// what is wrong with it. A folder is not a file, and a file larger than any partial can be is
// refused before it is read.
std::string ReadPartialFile(const std::string& path, std::string& text) {
    namespace fs = std::filesystem;
    const fs::path name(std::u8string(path.begin(), path.end()));
    std::error_code error;
    if (fs::is_directory(name, error)) return path + ": this is a folder, not a file.";
    if (fs::is_regular_file(name, error)) {
        const std::uintmax_t size = fs::file_size(name, error);
        if (!error && size > kMaxPartialBytes) {
            return path + ": the file is not a partial: at " + std::to_string(size) +
                   " bytes it is larger than a partial can be (" +
                   std::to_string(kMaxPartialBytes) + " bytes).";
        }
    }
    SystemErrorCode reason = 0;
    const DocumentReadStatus status = ReadDocumentExplained(path, text, reason, true);
    std::string sentence;
    switch (status) {
        case DocumentReadStatus::Ok:
            return std::string();
        case DocumentReadStatus::CannotOpen:
            sentence = path + ": the file could not be opened.";
            break;
        case DocumentReadStatus::NotAFile:
            return path + ": this is a device, not a file.";
        case DocumentReadStatus::TooLarge:
            return path + ": the file is too large for this strandix to read (more than " +
                   std::to_string(kMaxDocumentBytes) + " bytes).";
        case DocumentReadStatus::OutOfMemory:
            return path + ": the file is too large for the memory free.";
        case DocumentReadStatus::UnknownSize:
        case DocumentReadStatus::ReadFailed:
            sentence = path + ": the file could not be read.";
            break;
    }
    if (reason != 0) sentence += "  " + ReasonSentence(reason);
    return sentence;
}

}  // namespace

int RunShardCommand(const ShardCommand& command, ToolOutput& output) {
    const ControlCommand& controls = command.controls;
    ControlPartial partial;
    partial.documentDigest = command.documentDigest;
    partial.shard = command.shard;
    partial.run = DescribeControlRun(controls);
    const SearchRequest& request = controls.request;
    const RealSearchStatistics real =
        MeasureRealSearch(request.text, request.keywords, request.settings);
    partial.run.real = real.statistics;
    partial.run.plainWordResults = real.plainWordResults;
    std::vector<std::int64_t> indexes;
    for (std::int64_t i = command.shard.index; i < partial.run.total; i += command.shard.count)
        indexes.push_back(i);
    ControlRun& run = partial.run;
    run.controls = RunControlsShowingProgress(controls, output, indexes);
    // A partial holds its whole shard or does not exist: the merge counts on every control.
    if (run.controls.size() < indexes.size()) {
        std::fprintf(stderr,
                     "strandix: Stopped after %lld of the shard's %lld controls; no partial "
                     "was written.\n",
                     static_cast<long long>(run.controls.size()),
                     static_cast<long long>(indexes.size()));
        return kInterrupted;
    }

    const std::string text = WriteControlPartial(partial);
    if (command.outputPath.empty()) {
        if (!output.Write(text))
            return Fail("The partial could not be written to standard output.");
    } else if (std::string problem; !WriteOutputFile(command.outputPath, text, problem)) {
        return Fail(problem);
    }
    return kFound;
}

namespace {

// The merge of a control run's partials, every one of them added.
int FinishControlsMerge(const ToolOptions& options, CPartialMerger& merger) {
    if (!options.document.empty())
        return Fail(
            "--document names the document whose letter grids a proximity report draws; "
            "the partials of a control run need none.");
    const std::string& reportPath = options.run.reportPath;
    std::string message;
    ControlRun run;
    if (!merger.Finish(run, message)) return Fail(message);
    StampControlRun(run);
    const ControlSummary summary = SummariseControlRun(run);
    if (std::string problem; !reportPath.empty() &&
                             !WriteOutputFile(reportPath, ControlReportHtml(run, summary), problem))
        return Fail(problem);
    CJsonWriter merged;
    if (options.json)
        merged.BeginObject().Key("controls").Raw(ControlsJson(run, summary)).EndObject();
    const std::string report =
        options.json ? merged.Text() + "\n" : ControlReportText(run, summary);
    if (!WriteStandardOutput(report))
        return Fail("The report could not be written to standard output.");
    return run.real.results > 0 ? kFound : kNothingFound;
}

}  // namespace

int RunMergeCommand(const ToolOptions& options) {
    const std::string& reportPath = options.run.reportPath;
    const std::vector<std::string>& files = options.operands;
    std::vector<RunInput> inputs;
    for (const std::string& file : files)
        inputs.push_back({file, "a partial being merged"});
    if (const std::string problem = CheckOutputs({reportPath}, inputs); !problem.empty())
        return Fail(problem);

    // Each file is read once; its "format" says which kind of partial it is, and every other
    // file must be of the same kind.
    std::optional<PartialKind> kind;
    std::string firstName;
    CPartialMerger controls;
    CProximityMerger proximity;
    std::string message;
    for (const std::string& file : files) {
        std::string text;
        if (const std::string problem = ReadPartialFile(file, text); !problem.empty())
            return Fail(problem);
        PartialKind fileKind = PartialKind::Controls;
        if (std::string problem; !FindPartialKind(text, fileKind, problem))
            return Fail(file + ": " + problem);
        if (!kind) {
            kind = fileKind;
            firstName = file;
        } else if (fileKind != *kind) {
            return Fail(file + ": it is " + PartialKindText(fileKind) + ", while " + firstName +
                        " is " + PartialKindText(*kind) +
                        ", so the two are not parts of the same run.");
        }
        const bool added = fileKind == PartialKind::Controls ? controls.Add(file, text, message)
                                                             : proximity.Add(file, text, message);
        if (!added) return Fail(message);
    }
    if (kind == PartialKind::Proximity) return FinishProximityMerge(options, proximity);
    return FinishControlsMerge(options, controls);
}
