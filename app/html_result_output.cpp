#include "app/html_result_output.h"

#include "results/html_result_writer.h"

namespace {

class CHtmlOutput : public CResultWriter {
  public:
    explicit CHtmlOutput(CProgressReceiver& receiver) : writer_(receiver) {}
    CResultSink& Sink() override { return writer_; }
    std::string GetFilePath() const override { return writer_.GetFilePath(); }

  private:
    CHtmlResultWriter writer_;
};

}  // namespace

ResultWriterFactory HtmlResultWriterFactory() {
    return [](CProgressReceiver& receiver) -> std::unique_ptr<CResultWriter> {
        return std::make_unique<CHtmlOutput>(receiver);
    };
}
