#pragma once
// A test of the whole program with a home of its own: the settings, the
// journal, the history and the trash go into a fresh temporary folder that
// has no ~/.local/share, as on a new account.
#include <QTemporaryDir>
#include <gtest/gtest.h>

class PrivateHomeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home_.isValid());
        oldHome_ = qgetenv("HOME");
        qputenv("GLIMMERDECK_HOME", home_.path().toLocal8Bit());
        qputenv("HOME", home_.path().toLocal8Bit());
    }
    void TearDown() override
    {
        qunsetenv("GLIMMERDECK_HOME");
        qputenv("HOME", oldHome_);
    }

    QTemporaryDir home_;

private:
    QByteArray oldHome_;
};
