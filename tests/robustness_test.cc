// Whole-program tests of how jobs end when things go wrong around them:
// the printer connection drops, the spooler ends a job, the job owner's
// defaults file is not theirs, two option tool runs meet.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run.h"
#include "testdump.h"

namespace {

// A reader that goes away after the first byte: the rest of the job cannot
// be written, which is reported like a full disk, and the job is retried.
TEST(Robustness, LostReaderIsAWriteError) {
  TempDir dir;
  std::string text = dir.write("t.txt", std::string(3000000, 'x') + "\n");
  TestDump d(8, 1500, 1000, 0);
  d.rows.assign(1500 * 1000, '\0');
  for (size_t i = 0; i < d.rows.size(); ++i) d.rows[i] = char(i * 7919 % 251);
  std::string dump = dir.write("d.xwd", d.bytes());
  const struct {
    const char* name;
    std::string args;
    int status;
    const char* err;
  } cases[] = {
      {"texttops", text, 255, "texttops: cannot write output: Broken pipe\n"},
      {"zavpsif", "-n ann <" + text, 1, "zavpsif: cannot write output: Broken pipe\n"},
      {"zavpscups-text", "1 ann t 1 '' " + text, 1,
       "ERROR: cannot write output: Broken pipe\n"},
      {"imgtops", dump, 255, "imgtops: cannot write output: Broken pipe\n"},
      {"zavpsvf", "<" + dump, 1, "zavpsvf: cannot write output: Broken pipe\n"},
      // Endless input ends too, once the output is lost.
      {"texttops", "< <(yes)", 255, "texttops: cannot write output: Broken pipe\n"},
  };
  for (const auto& c : cases) {
    RunResult r = run({"timeout", "60", "bash", "-c",
                       "\"$0\" " + c.args + " | head -c 1 >/dev/null;"
                       " exit ${PIPESTATUS[0]}",
                       bin(c.name)});
    EXPECT_EQ(r.status, c.status) << c.name;
    EXPECT_EQ(r.err, c.err);
  }
}

}  // namespace
