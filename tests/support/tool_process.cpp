#include "tests/support/tool_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/pseudo_terminal.h"
#include "tests/support/whole_file.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

std::vector<char*> Pointers(std::vector<std::string>& words) {
    std::vector<char*> pointers;
    for (std::string& word : words)
        pointers.push_back(word.data());
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

ToolProcessTest::ToolProcessTest(const std::string& folderPrefix) {
    static int serial = 0;
    root_ = fs::temp_directory_path() /
            (folderPrefix + "-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
    fs::create_directories(root_);
    // What the tool keeps in the temporary folder (an output it could not put in place) stays
    // in the test's folder and goes with it.
    fs::create_directories(root_ / "tmp");
    environment_["TMPDIR"] = (root_ / "tmp").string();
}

ToolProcessTest::~ToolProcessTest() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

void ToolProcessTest::SetToolEnvironment(const std::string& name, const std::string& value) {
    environment_[name] = value;
}

std::vector<std::string> ToolProcessTest::Environment() const {
    std::vector<std::string> variables;
    for (const auto& [name, value] : environment_)
        variables.push_back(name + "=" + value);
    for (char** entry = environ; *entry; ++entry) {
        const std::string variable = *entry;
        if (environment_.count(variable.substr(0, variable.find('='))) == 0)
            variables.push_back(variable);
    }
    return variables;
}

pid_t ToolProcessTest::Start(const std::vector<std::string>& arguments, const Streams& streams) {
    std::vector<std::string> words = {STRANDIX_TOOL};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<std::string> variables = Environment();

    const std::string out = (root_ / "stdout").string(), err = (root_ / "stderr").string();
    std::error_code ignored;
    fs::remove(out, ignored);  // an earlier run's output must not pass for this one's
    fs::remove(err, ignored);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const auto open = [&](int fd, const std::string& path, int flags) {
        posix_spawn_file_actions_addopen(&actions, fd, path.c_str(), flags, 0600);
    };
    if (streams.inputOnTerminal) {
        open(0, streams.terminal, O_RDWR | O_NOCTTY);
    } else if (streams.inputFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, streams.inputFd, 0);
    } else {
        open(0, streams.input, O_RDONLY);
    }
    if (streams.outputOnTerminal) {
        open(1, streams.terminal, O_RDWR | O_NOCTTY);
    } else if (streams.output == "closed") {
        posix_spawn_file_actions_addclose(&actions, 1);
    } else {
        open(1, streams.output.empty() ? out : streams.output, O_WRONLY | O_CREAT | O_TRUNC);
    }
    if (!streams.terminal.empty()) {
        open(2, streams.terminal, O_RDWR | O_NOCTTY);
    } else {
        open(2, err, O_WRONLY | O_CREAT | O_TRUNC);
    }
    pid_t child = -1;
    const int failed = posix_spawn(&child, words[0].c_str(), &actions, nullptr,
                                   Pointers(words).data(), Pointers(variables).data());
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_EQ(failed, 0) << words[0];
    return child;
}

Outcome ToolProcessTest::Wait(pid_t child) {
    Outcome outcome;
    int status = 0;
    if (waitpid(child, &status, 0) == child) {
        outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
    }
    outcome.out = ReadWholeFile(root_ / "stdout");
    outcome.err = ReadWholeFile(root_ / "stderr");
    return outcome;
}

Outcome ToolProcessTest::Run(const std::vector<std::string>& arguments, const Streams& streams) {
    return Wait(Start(arguments, streams));
}

Outcome ToolProcessTest::InterruptAt(const std::vector<std::string>& arguments,
                                     const std::string& stage) {
    CPseudoTerminal terminal(CPseudoTerminal::kAsLongAsTheFarEndIsOpen);
    if (!terminal.IsOpen()) {
        ADD_FAILURE() << "no terminal";
        return {};
    }
    Streams streams;
    streams.terminal = terminal.FarEnd();
    const pid_t child = Start(arguments, streams);
    // The tool holds the terminal now: reading ends once it has ended and closed it.
    terminal.LetGoOfFarEnd();
    const bool stageShown = terminal.ReadUntil(stage + ": ");
    if (stageShown) {
        EXPECT_EQ(::kill(child, SIGINT), 0);
    }
    const std::string shown = terminal.ReadToEnd();
    EXPECT_TRUE(stageShown) << shown;
    Outcome outcome = Wait(child);
    outcome.err = shown;
    return outcome;
}
