// A program driven line by line over pipes: reedmark-headless played as a human would
// play it, and reedmark-sim holding a copy of the campaign. Each command answers one
// JSON line.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/game.hpp"

namespace reedmark::testing {

class TPipedProgram {
   public:
    explicit TPipedProgram(const std::vector<std::string>& argv) {
        signal(SIGPIPE, SIG_IGN);
        int toChild[2];
        int fromChild[2];
        if (pipe(toChild) != 0 || pipe(fromChild) != 0) throw std::runtime_error("pipe failed");
        pid_ = fork();
        if (pid_ < 0) throw std::runtime_error("fork failed");
        if (pid_ == 0) {
            dup2(toChild[0], 0);
            dup2(fromChild[1], 1);
            close(toChild[1]);
            close(fromChild[0]);
            std::vector<char*> args;
            for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
            args.push_back(nullptr);
            execv(args[0], args.data());
            _exit(127);
        }
        close(toChild[0]);
        close(fromChild[1]);
        in_ = fdopen(toChild[1], "w");
        out_ = fdopen(fromChild[0], "r");
    }
    ~TPipedProgram() { Close(); }
    // Ends the input and waits for the program to finish.
    void Close() {
        if (in_) fclose(in_);
        if (out_) fclose(out_);
        in_ = out_ = nullptr;
        int status = 0;
        if (pid_ > 0) waitpid(pid_, &status, 0);
        pid_ = -1;
    }
    TPipedProgram(const TPipedProgram&) = delete;
    TPipedProgram& operator=(const TPipedProgram&) = delete;

    // Sends one command and answers its JSON line (null when the program has gone).
    TJson Raw(const std::string& command) {
        if (in_ == nullptr) return nullptr;
        std::fprintf(in_, "%s\n", command.c_str());
        std::fflush(in_);
        char* line = nullptr;
        size_t cap = 0;
        const ssize_t n = getline(&line, &cap, out_);
        std::string text = n > 0 ? std::string(line, static_cast<size_t>(n)) : std::string();
        std::free(line);
        if (text.empty()) return nullptr;
        return TJson::parse(text, nullptr, false);
    }
    // The result of a command that must succeed.
    TJson Ok(const std::string& command) {
        TJson answer = Raw(command);
        if (!answer.is_object() || !answer.value("ok", false)) {
            ADD_FAILURE() << command << " -> " << answer.dump();
            return nullptr;
        }
        return answer["result"];
    }

   private:
    pid_t pid_ = -1;
    FILE* in_ = nullptr;
    FILE* out_ = nullptr;
};

}  // namespace reedmark::testing
