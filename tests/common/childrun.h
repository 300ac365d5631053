// Runs the current test once more in a child process of this test program, with variables of its
// own (another screen, another display), and tells whether it passed there. The child runs the
// same test body and knows itself by inChildRun().
#pragma once

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>

namespace testrun {

inline constexpr const char* kChildRunVariable = "QV_TEST_CHILD_RUN";

inline bool inChildRun()
{
    return std::getenv(kChildRunVariable) != nullptr;
}

inline bool passesInChild(const QProcessEnvironment& variables, int timeoutMs = 120000)
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(variables);
    env.insert(QString::fromLatin1(kChildRunVariable), QStringLiteral("1"));
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=%1.%2").arg(QString::fromLatin1(test->test_suite_name()),
                                                            QString::fromLatin1(test->name()))});
    if (!child.waitForFinished(timeoutMs)) {
        child.kill();
        child.waitForFinished();
        std::cerr << "the child run did not end\n";
        return false;
    }
    const bool passed = child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
    if (!passed)
        std::cerr << child.readAll().toStdString();
    return passed;
}

}  // namespace testrun
