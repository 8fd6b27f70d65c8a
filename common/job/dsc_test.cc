#include "dsc.h"

#include <gtest/gtest.h>

#include "options.h"
#include "writer.h"

namespace {

std::vector<std::string> lines(const std::string& s) {
  std::vector<std::string> v;
  size_t start = 0;
  for (size_t nl; (nl = s.find('\n', start)) != std::string::npos;
       start = nl + 1)
    v.push_back(s.substr(start, nl - start));
  return v;
}

std::string header(const std::string& creator, const std::string& title,
                   bool pagesAtEnd = true, const std::string* fonts = nullptr) {
  JobContext job;
  job.creator = creator;
  job.title = title;
  Writer out = Writer::memory();
  writeDscHeader(out, job, pagesAtEnd, fonts);
  return out.str();
}

TEST(DscHeader, ImageDocumentsAnnouncePagesAndNoFonts) {
  resetOptions();
  auto l = lines(header("qmpvf", ""));
  ASSERT_EQ(l.size(), 7u);
  EXPECT_EQ(l[0], "%!PS-Adobe-2.1");
  EXPECT_EQ(l[1], "%%Title: stdin");
  EXPECT_EQ(l[2], "%%Creator: qmpvf");
  EXPECT_EQ(l[3].rfind("%%CreationDate: ", 0), 0u);
  EXPECT_EQ(l[4].rfind("%%For: ", 0), 0u);
  EXPECT_NE(l[4].find(':', 7), std::string::npos);
  EXPECT_EQ(l[5], "%%Pages: (atend)");
  EXPECT_EQ(l[6], "%%EndComments");
}

TEST(DscHeader, TextDocumentsNameTheirFont) {
  std::string font = "Courier";
  auto l = lines(header("texttops", "report.txt", false, &font));
  ASSERT_EQ(l.size(), 7u);
  EXPECT_EQ(l[1], "%%Title: report.txt");
  EXPECT_EQ(l[5], "%%DocumentFonts: Courier");
  font = "Times-Roman";
  l = lines(header("zavpsif", "a\nb", true, &font));
  ASSERT_EQ(l.size(), 8u);
  EXPECT_EQ(l[1], "%%Title: a?b");  // a comment stays one line
  EXPECT_EQ(l[5], "%%Pages: (atend)");
  EXPECT_EQ(l[6], "%%DocumentFonts: Times-Roman");
}

TEST(DscHeader, ForLineNamesTheJobsOwner) {
  const struct {
    const char* owner;
    const char* host;
    const char* forLine;
  } cases[] = {
      {"ann", "client", "%%For: client:ann"},
      {"a\033]0;x\rb", "h\nost", "%%For: h?ost:a?]0;x?b"},
  };
  for (const auto& c : cases) {
    JobContext job;
    job.owner = c.owner;
    job.host = c.host;
    Writer out = Writer::memory();
    writeDscHeader(out, job, false, nullptr);
    EXPECT_EQ(lines(out.str()).at(4), c.forLine) << c.owner;
  }
  JobContext local;
  local.owner = "bob";
  EXPECT_EQ(documentFor(local), systemHostName() + ":bob");
}

TEST(DscHeader, ForLineFallsBackToLogname) {
  resetOptions();
  if (getlogin()) GTEST_SKIP() << "the process has a login name";
  setenv("LOGNAME", "someone", 1);
  EXPECT_NE(header("imgtops", "").find(":someone\n"), std::string::npos);
}

}  // namespace
