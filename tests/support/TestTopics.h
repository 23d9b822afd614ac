// Test topics: each tests/<folder>/tst_<topic>.cpp is one topic, and the
// topics of a folder are linked into one program, tests_<folder>, which runs
// the topic named by its first argument ("tests_surface tst_editing -v2").
// One program per folder keeps the build short; one CTest entry per topic
// keeps the reports and the parallel runs as they were.
//
// QTEST_MAIN and QTEST_GUILESS_MAIN register their topic here instead of
// defining main(); a topic with a main of its own registers it with
// QUORVEL_TEST_TOPIC. The build includes this header in every test file.
#pragma once

#include <QtTest>

namespace testsupport {
using TopicMain = int (*)(int argc, char **argv);
// Registers the topic of the test file sourceFile (its name without folder
// and extension) and returns true.
bool RegisterTopic(const char *sourceFile, TopicMain run);
} // namespace testsupport

#define QUORVEL_TEST_TOPIC(run) \
    static const bool quorvelTopicRegistered = testsupport::RegisterTopic(__FILE__, run);

#undef QTEST_MAIN_WRAPPER
#define QTEST_MAIN_WRAPPER(TestObject, ...) \
    static int QuorvelRunTopic(int argc, char *argv[]) \
    { \
        TESTLIB_SELFCOVERAGE_START(#TestObject) \
        QT_PREPEND_NAMESPACE(QTest::Internal::callInitMain)<TestObject>(); \
        __VA_ARGS__ \
        TestObject tc; \
        QTEST_SET_MAIN_SOURCE_PATH \
        return QTest::qExec(&tc, argc, argv); \
    } \
    QUORVEL_TEST_TOPIC(QuorvelRunTopic)
