#include "logline.h"

#include <cstdio>

std::string printable(const std::string& text) {
  std::string s = text;
  size_t end = !s.empty() && s.back() == '\n' ? s.size() - 1 : s.size();
  for (size_t i = 0; i < end; ++i)
    if (static_cast<unsigned char>(s[i]) < 0x20 || s[i] == 0x7F) s[i] = '?';
  return s;
}

void logMessage(const std::string& message) {
  std::fputs(printable(message).c_str(), stderr);
}

std::string lpdHead(const JobContext& job) {
  const std::string& owner = job.owner.empty() ? "?" : job.owner;
  const std::string& host = job.host.empty() ? "?" : job.host;
  return job.name + ": job of " + owner + "@" + host + ": ";
}

std::string nameHead(const JobContext& job) {
  return job.mode == RunMode::LpdFilter ? "" : job.name + ": ";
}

void logLine(const JobContext& job, const std::string& message) {
  logMessage(job.mode == RunMode::LpdFilter ? lpdHead(job) + message : message);
}
