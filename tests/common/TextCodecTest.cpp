// CP932 text: printable ASCII is read without the converter, and reads
// exactly as the converter reads it; anything else still goes through it.
#include "common/TextCodec.h"

#include <QStringDecoder>
#include <gtest/gtest.h>

TEST(TextCodec, Cp932AsciiReadsAsTheConverterReadsIt)
{
    // All of ASCII: the converter reads a few control characters as others.
    QByteArray ascii;
    for (int b = 0; b < 0x80; ++b)
        ascii.append(char(b));
    QStringDecoder converter("windows-31j", QStringDecoder::Flag::Stateless);
    ASSERT_TRUE(converter.isValid());
    const QString read = converter(ascii);
    ASSERT_FALSE(converter.hasError());
    EXPECT_EQ(decodeCp932(ascii), read);
    const QByteArray printable = ascii.mid(0x20, 0x5F) + "\t\r\n";
    EXPECT_EQ(decodeCp932(printable), QString::fromLatin1(printable));
    EXPECT_EQ(decodeCp932(printable), QString(converter(printable)));

    // "日本ソ" in CP932: the second byte of a double-byte character may be
    // 0x5C, which only the converter reads rightly.
    const QByteArray japanese("\x93\xfa\x96\x7b\x83\x5c", 6);
    EXPECT_EQ(decodeCp932(japanese), QStringLiteral("日本ソ"));
    EXPECT_EQ(decodeCp932(encodeCp932(QStringLiteral("IMG_,4(表示)"))), QStringLiteral("IMG_,4(表示)"));
}
