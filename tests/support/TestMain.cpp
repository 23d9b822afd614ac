// The main() of every test program: runs the topic named by the first argument.
#include "TestTopics.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

namespace {
std::map<std::string, testsupport::TopicMain> &Topics()
{
    static std::map<std::string, testsupport::TopicMain> topics;
    return topics;
}
} // namespace

bool testsupport::RegisterTopic(const char *sourceFile, TopicMain run)
{
    std::string name = sourceFile;
    name = name.substr(name.find_last_of("/\\") + 1);
    name = name.substr(0, name.find('.'));
    Topics()[name] = run;
    return true;
}

int main(int argc, char **argv)
{
    const auto topic = argc > 1 ? Topics().find(argv[1]) : Topics().end();
    if (topic == Topics().end()) {
        std::fprintf(stderr, "usage: %s TOPIC [Qt Test options]; the topics are:\n", argv[0]);
        for (const auto &[name, run] : Topics())
            std::fprintf(stderr, "  %s\n", name.c_str());
        return 2;
    }
    // The topic sees the program's name followed by its own options.
    argv[1] = argv[0];
    return topic->second(argc - 1, argv + 1);
}
