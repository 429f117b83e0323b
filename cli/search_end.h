// Remembers how a search ended, so that the exit status follows what the search reported at its
// end rather than whether a Ctrl-C arrived at some time.
#pragma once

#include <cstdint>
#include <string>

#include "search/result_sink.h"

// Passes every call on to the sink it wraps.
class CSearchEndRecorder : public CResultSink {
  public:
    explicit CSearchEndRecorder(CResultSink& inner) : inner_(inner) {}

    bool Begin(std::string& errorText) override { return inner_.Begin(errorText); }
    bool AddResult(const char* text, std::int32_t first, std::int32_t last, std::int32_t columns,
                   const ResultPositions& positions) override {
        return inner_.AddResult(text, first, last, columns, positions);
    }
    bool End(bool canceled) override {
        ended_ = true;
        canceled_ = canceled;
        return inner_.End(canceled);
    }
    bool Progress(std::int32_t position, std::int32_t total) override {
        return inner_.Progress(position, total);
    }

    bool Ended() const { return ended_; }
    // End was told that the search was canceled.
    bool Canceled() const { return canceled_; }

  private:
    CResultSink& inner_;
    bool ended_ = false;
    bool canceled_ = false;
};
