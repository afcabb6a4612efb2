// RunProcessesAtOnce forks processes that all start one piece of work at the
// same moment (each waits until every one has been forked), and collects how
// each ended: what several programs opening one store together look like.
//
// Call it from a test's thread while this process holds no database
// connection open: a connection must not be carried across fork.

#ifndef ORVO_TESTS_SUPPORT_PROCESSES_AT_ONCE_HPP_
#define ORVO_TESTS_SUPPORT_PROCESSES_AT_ONCE_HPP_

#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "orvo/automation/error.hpp"

namespace orvo::testing {

struct ProcessEnd {
  int exitCode = -1;  // -1 when the process did not exit by itself
  std::string error;  // the description of the AutomationError it raised
};

// Runs `work(i)` in processes i = 0 .. count-1; its result is the process's
// exit code, and an AutomationError it raises ends it with exit code 100.
inline std::vector<ProcessEnd> RunProcessesAtOnce(int count, const std::function<int(int)>& work) {
  int start[2];
  if (pipe(start) != 0) throw std::runtime_error("pipe failed");
  std::vector<pid_t> children;
  std::vector<int> reports;
  for (int i = 0; i < count; ++i) {
    int report[2];
    if (pipe(report) != 0) throw std::runtime_error("pipe failed");
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
      close(start[1]);
      close(report[0]);
      char byte;
      while (read(start[0], &byte, 1) > 0) {
      }
      int code = 100;
      try {
        code = work(i);
      } catch (const AutomationError& error) {
        const std::string& text = error.description();
        if (write(report[1], text.data(), text.size()) < 0) code = 101;
      }
      // No destructor of this copy of the test process may run.
      _exit(code);
    }
    close(report[1]);
    children.push_back(pid);
    reports.push_back(report[0]);
  }
  close(start[0]);
  close(start[1]);  // all start now
  std::vector<ProcessEnd> ends(static_cast<std::size_t>(count));
  for (std::size_t i = 0; i < ends.size(); ++i) {
    char buffer[256];
    for (ssize_t n; (n = read(reports[i], buffer, sizeof buffer)) > 0;) {
      ends[i].error.append(buffer, static_cast<std::size_t>(n));
    }
    close(reports[i]);
    int status = 0;
    waitpid(children[i], &status, 0);
    if (WIFEXITED(status)) ends[i].exitCode = WEXITSTATUS(status);
  }
  return ends;
}

}  // namespace orvo::testing

#endif  // ORVO_TESTS_SUPPORT_PROCESSES_AT_ONCE_HPP_
