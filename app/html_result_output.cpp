#include "app/html_result_output.h"

#include "frontend/page_script.h"
#include "results/html_result_writer.h"

namespace {

class CHtmlOutput : public CResultWriter {
  public:
    CHtmlOutput(CProgressReceiver& receiver, const CAlphabet& alphabet) : writer_(receiver) {
        if (alphabet.ReadsUtf8()) writer_.SetScript(MakePageScript(alphabet));
    }
    CResultSink& Sink() override { return writer_; }
    std::string GetFilePath() const override { return writer_.GetFilePath(); }

  private:
    CHtmlResultWriter writer_;
};

}  // namespace

ResultWriterFactory HtmlResultWriterFactory() {
    return [](CProgressReceiver& receiver,
              const CAlphabet& alphabet) -> std::unique_ptr<CResultWriter> {
        return std::make_unique<CHtmlOutput>(receiver, alphabet);
    };
}
