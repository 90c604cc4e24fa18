// A stand-in for GMT and the other programs that batch files run: it prints
// the program it stands for and its words joined by "|" ("gmt psxy a b" and
// "psxy a b" both print "psxy|a|b"; "gawk-w32" prints as "gawk"). Words that
// steer it: -copy (then copies its input), -exit=N (ends with status N,
// complaining on the error output), -sleep=N (waits N seconds first), -pid
// (adds its process id to pids.txt), -spawn (POSIX: leaves a child that
// waits as long as it does).
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

int main(int argc, char** argv)
{
    std::string name = argv[0];
    const std::size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos) name = name.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.resize(dot);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (name.size() > 4 && name.compare(name.size() - 4, 4, "-w32") == 0) name.resize(name.size() - 4);
    int first = 1;
    std::string line;
    if (name == "gmt" && argc > 1) {
        line = argv[1];
        first = 2;
    } else {
        line = name;
    }
    int status = 0, sleep_s = 0;
    bool copy = false, pid = false, spawn = false;
    for (int i = first; i < argc; ++i) {
        line += '|';
        line += argv[i];
        if (std::strcmp(argv[i], "-copy") == 0) copy = true;
        if (std::strncmp(argv[i], "-exit=", 6) == 0) status = std::atoi(argv[i] + 6);
        if (std::strncmp(argv[i], "-sleep=", 7) == 0) sleep_s = std::atoi(argv[i] + 7);
        if (std::strcmp(argv[i], "-pid") == 0) pid = true;
        if (std::strcmp(argv[i], "-spawn") == 0) spawn = true;
    }
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
#ifndef _WIN32
    if (spawn && fork() == 0) spawn = false;  // the child goes on below, as its parent does
#endif
    if (pid) {
        if (FILE* f = std::fopen("pids.txt", "a")) {
#ifdef _WIN32
            std::fprintf(f, "%lu\n", static_cast<unsigned long>(GetCurrentProcessId()));
#else
            std::fprintf(f, "%ld\n", static_cast<long>(getpid()));
#endif
            std::fclose(f);
        }
    }
    if (sleep_s > 0) {
#ifdef _WIN32
        Sleep(static_cast<DWORD>(sleep_s) * 1000);
#else
        sleep(static_cast<unsigned>(sleep_s));
#endif
    }
    if (copy) {
        int c;
        while ((c = std::getchar()) != EOF) std::putchar(c);
    }
    if (status != 0) std::fprintf(stderr, "  bad input  \n");
    return status;
}
