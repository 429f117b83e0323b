// A pseudo-terminal for tests that run a program as a process (POSIX): the program gets the far
// end as its terminal, the test reads what it shows from the near end.
#pragma once

#include <string>

class CPseudoTerminal {
  public:
    // How long a read waits for the terminal to show more before it gives up.
    static constexpr int kMinuteWithoutOutput = 60000;
    static constexpr int kAsLongAsTheFarEndIsOpen = -1;  // milliseconds

    explicit CPseudoTerminal(int quietLimitMs = kMinuteWithoutOutput);
    ~CPseudoTerminal();
    CPseudoTerminal(const CPseudoTerminal&) = delete;
    CPseudoTerminal& operator=(const CPseudoTerminal&) = delete;

    bool IsOpen() const { return near_ >= 0 && !far_.empty(); }
    const std::string& FarEnd() const { return far_; }

    // Lets go of the test's own hold of the far end, held from the start so that reading never
    // meets a terminal nobody holds yet: from now on reading ends once the program has closed it.
    void LetGoOfFarEnd();

    // Reads what the terminal shows until `wanted` is among it. False when the terminal has
    // nothing more to say, or said nothing for the quiet limit (a guard against a hang).
    bool ReadUntil(const std::string& wanted);

    // Once the program has ended or is ending: everything it showed.
    const std::string& ReadToEnd();

  private:
    bool ReadMore();

    int quietLimitMs_;
    int near_;
    int farHeld_ = -1;
    std::string far_;
    std::string shown_;
};
