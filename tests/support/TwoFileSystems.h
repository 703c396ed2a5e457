#pragma once
// Two folders on one file system and one on another (/dev/shm is a file
// system of its own here), for file operations that must copy across.
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

struct TwoFileSystems : ::testing::Test {
    QTemporaryDir disk;
    QTemporaryDir shm{QStringLiteral("/dev/shm/gd-test-XXXXXX")};
    QString a, b, m; // two folders on one file system, one on another
    void SetUp() override
    {
        ASSERT_TRUE(disk.isValid());
        ASSERT_TRUE(shm.isValid());
        a = disk.path() + "/a";
        b = disk.path() + "/b";
        m = shm.path();
        QDir().mkpath(a);
        QDir().mkpath(b);
    }
};
