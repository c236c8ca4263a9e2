// A real web server (lighttpd) on 127.0.0.1 running the CGI scripts of
// tests/groups/cgi, and a real HTTP client (curl) to fetch its pages.
#pragma once

#include <sys/types.h>

#include <map>
#include <string>

#include "harness.h"

namespace groups_test {

struct Page {
    int status = 0;      // HTTP status, 0 when nothing was received
    std::string headers; // as received
    std::string body;
};

class WebServer {
  public:
    // Serves the CGI scripts with `environment` passed on to them.
    // started() tells whether the server answers.
    explicit WebServer(const std::map<std::string, std::string> &environment);
    ~WebServer();
    WebServer(const WebServer &) = delete;
    WebServer &operator=(const WebServer &) = delete;

    bool started() const { return port_ != 0; }
    std::string startFailure() const; // what the server said when it did not start
    Page fetch(const std::string &target);
    std::string errorLog() const; // the CGI programs' standard error

  private:
    bool start(const std::map<std::string, std::string> &environment);
    void stop();

    harness::TempDir directory_;
    pid_t server_ = -1;
    int port_ = 0;
};

} // namespace groups_test
