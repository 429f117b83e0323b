#include "search/tick_clock.h"

#include <chrono>

namespace {

class CSteadyTickClock final : public CTickClock {
  public:
    std::uint32_t Milliseconds() override {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<std::uint32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
    }
};

}  // namespace

CTickClock& SystemTickClock() {
    static CSteadyTickClock clock;
    return clock;
}
