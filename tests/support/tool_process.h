// The command-line tool run as a process, the way a script runs it (POSIX): each test gets its
// own temporary folder, sets up the tool's standard streams and environment, and gets back the
// exit status and what the tool wrote.
#pragma once

#include <sys/types.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

// How a run of the tool ended and what it wrote.
struct Outcome {
    int status = -1;  // exit status; 1000 + n when ended by signal n
    std::string out, err;
};

// How the tool's standard streams are set up; by default input from /dev/null, output and
// errors to files in the test's folder.
struct Streams {
    std::string input = "/dev/null";
    int inputFd = -1;      // when set: standard input instead of `input`
    std::string output;    // a path instead of the test's file; "closed": no stream at all
    std::string terminal;  // a terminal for standard error (and the streams put on it)
    bool inputOnTerminal = false;
    bool outputOnTerminal = false;
};

// The base of the fixtures that start the tool: the folder is named after `folderPrefix`, the
// process and the test, and is removed with everything in it when the test ends.
class ToolProcessTest : public testing::Test {
  protected:
    explicit ToolProcessTest(const std::string& folderPrefix);
    ~ToolProcessTest() override;

    const std::filesystem::path& Root() const { return root_; }

    // The tool gets `value` for the environment variable `name` instead of this process's own.
    void SetToolEnvironment(const std::string& name, const std::string& value);

    pid_t Start(const std::vector<std::string>& arguments, const Streams& streams = {});
    Outcome Wait(pid_t child);
    Outcome Run(const std::vector<std::string>& arguments, const Streams& streams = {});

    // Runs the tool with its standard error on a new terminal, so that it shows its progress;
    // sends Ctrl-C once the progress line starting with `stage` is shown and answers the exit
    // status and everything the terminal showed. It waits on what the terminal shows, not on a
    // clock, until the tool has ended.
    Outcome InterruptAt(const std::vector<std::string>& arguments, const std::string& stage);

  private:
    std::vector<std::string> Environment() const;

    std::filesystem::path root_;
    std::map<std::string, std::string> environment_;
};
