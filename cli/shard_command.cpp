#include "cli/shard_command.h"
#include "cli/exit_status.h"

#include <charconv>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "cli/console.h"
#include "cli/output_files.h"

namespace {

bool ReadCount(std::string_view text, std::int64_t& number) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos)
        return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end == text.data() + text.size();
}

bool WriteFile(const std::string& path, const std::string& content) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << content;
    file.close();
    return static_cast<bool>(file);
}

bool WriteStandardOutput(const std::string& content) {
    std::fputs(content.c_str(), stdout);
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

enum class FileRead { Ok, CannotOpen, Failed };

FileRead ReadFile(const std::string& path, std::string& content) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return FileRead::CannotOpen;
    std::ostringstream read;
    read << file.rdbuf();
    if (file.bad()) return FileRead::Failed;
    content = std::move(read).str();
    return FileRead::Ok;
}

const char kMergeUsage[] = "Usage: strandix merge [--json] [--report FILE.html] PARTIAL...";

}  // namespace

bool ReadShardOption(const std::string& value, ShardId& shard, std::string& error) {
    const std::size_t slash = value.find('/');
    std::int64_t index = 0, count = 0;
    if (slash == std::string::npos || !ReadCount(std::string_view(value).substr(0, slash), index) ||
        !ReadCount(std::string_view(value).substr(slash + 1), count) || count < 1 ||
        index >= count) {
        error =
            "--shard: Please enter K/N, with N shards in all and K from 0 to N-1 (0/4 is "
            "the first of four).";
        return false;
    }
    shard = {index, count};
    return true;
}

bool CheckShardOptions(const std::optional<ShardId>& shard, const ControlOptions& controls,
                       bool json, bool open, std::string& error) {
    if (!shard) return true;
    if (controls.count == 0) {
        error = "--shard needs --controls: it splits the controls.";
    } else if (shard->count > controls.count) {
        error = "--shard: " + std::to_string(shard->count) + " shards are more than the " +
                std::to_string(controls.count) + " controls.";
    } else if (json || open || !controls.reportPath.empty() || controls.expected) {
        error =
            "--shard writes a partial, which strandix merge turns into the report, so it cannot "
            "be combined with --json, --open, --report or --expected.";
    } else {
        return true;
    }
    return false;
}

std::string ShardUsage() {
    return R"(Shards (one control run across several machines):
  --shard K/N        with --controls: compute only the controls i with i mod N = K and write
                     them as a partial (JSON) to standard output, or to the file of -o
  strandix merge [--json] [--report FILE.html] PARTIAL...
                     check that the partials are the shards of one run, all of them once,
                     and print the report the single run prints
)";
}

int RunShardCommand(const ShardCommand& command) {
    const ControlCommand& controls = command.controls;
    ControlPartial partial;
    partial.documentDigest = command.documentDigest;
    partial.ignoreNumbers = command.ignoreNumbers;
    partial.shard = command.shard;
    partial.run = StartControlRun(controls);
    std::vector<std::int64_t> indexes;
    for (std::int64_t i = command.shard.index; i < partial.run.total; i += command.shard.count)
        indexes.push_back(i);
    ControlRun& run = partial.run;
    run.controls = RunControlsShowingProgress(controls, indexes);
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
        if (!WriteStandardOutput(text))
            return Fail("The partial could not be written to standard output.");
    } else if (!WriteFile(command.outputPath, text)) {
        return Fail("The partial could not be written to " + command.outputPath + ".");
    }
    return kFound;
}

int RunMergeCommand(const std::vector<std::string>& arguments) {
    bool json = false;
    std::string reportPath;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            files.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--json") {
            json = true;
        } else if (argument == "--report" || argument.rfind("--report=", 0) == 0) {
            if (argument != "--report") {
                reportPath = argument.substr(9);
            } else if (i + 1 < arguments.size()) {
                reportPath = arguments[++i];
            } else {
                reportPath.clear();
            }
            if (reportPath.empty()) return Fail("--report: a file name must follow.");
        } else if (argument == "--help" || argument == "-h") {
            std::printf("%s\n", kMergeUsage);
            return kFound;
        } else {
            Fail("Unknown option " + argument + " for merge.");
            std::fprintf(stderr, "%s\n", kMergeUsage);
            return kFailed;
        }
    }
    if (files.empty()) {
        Fail("Please name the partials to merge.");
        std::fprintf(stderr, "%s\n", kMergeUsage);
        return kFailed;
    }

    std::vector<RunInput> inputs;
    for (const std::string& file : files)
        inputs.push_back({file, "a partial being merged"});
    if (const std::string problem = CheckOutputs({reportPath}, inputs); !problem.empty())
        return Fail(problem);

    CPartialMerger merger;
    std::string message;
    for (const std::string& file : files) {
        std::string text;
        switch (ReadFile(file, text)) {
            case FileRead::Ok:
                break;
            case FileRead::CannotOpen:
                return Fail(file + ": the file could not be opened.");
            case FileRead::Failed:
                return Fail(file + ": the file could not be read.");
        }
        if (!merger.Add(file, text, message)) return Fail(message);
    }
    ControlRun run;
    if (!merger.Finish(run, message)) return Fail(message);

    if (!reportPath.empty() && !WriteFile(reportPath, ControlReportHtml(run)))
        return Fail("The report could not be written to " + reportPath + ".");
    const std::string report =
        json ? "{\"controls\": " + ControlsJson(run) + "}\n" : ControlReportText(run);
    if (!WriteStandardOutput(report))
        return Fail("The report could not be written to standard output.");
    return run.real.results > 0 ? kFound : kNothingFound;
}
