#pragma once
// Runs an outside oracle (python3, the sqlite3 shell) on an input text: the input goes
// to a temporary file given as the command's standard input, and the output comes back
// as lines (without their line feeds). A failing command fails the test.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

inline std::vector<std::string> RunOnInput(const std::string &command, const std::string &input)
{
    char path[] = "/tmp/items_oracle_XXXXXX";
    const int fd = mkstemp(path);
    EXPECT_GE(fd, 0);
    if (fd < 0)
        return {};
    EXPECT_EQ(write(fd, input.data(), input.size()), static_cast<ssize_t>(input.size()));
    close(fd);
    const std::string cmd = command + " < " + path;
    FILE *p = popen(cmd.c_str(), "r");
    std::vector<std::string> lines;
    std::string line;
    int c;
    while (p != nullptr && (c = std::fgetc(p)) != EOF) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line.push_back(static_cast<char>(c));
        }
    }
    EXPECT_TRUE(p != nullptr && pclose(p) == 0) << "the oracle failed: " << command;
    unlink(path);
    return lines;
}
