// The camera naming rules: "DCIM_rule.dat" bytes in any encoding, parsed,
// then matched against a file name taken from the same input.
#include "FuzzSupport.h"
#include "fileops/DcimRules.h"
#include "fileops/RuleFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = bytesOf(data, size);
    // The last line doubles as the file name to match.
    const qsizetype cut = bytes.lastIndexOf('\n');
    const DcimRuleFile::Decoded decoded = DcimRuleFile::decode(cut < 0 ? bytes : bytes.left(cut));
    const QString name = QString::fromUtf8(cut < 0 ? QByteArray() : bytes.mid(cut + 1));
    const DcimParseResult parsed = DcimRulesParse(decoded.lines);
    GD_FUZZ_CHECK(parsed.badLine >= 0 && parsed.badLine <= decoded.lines.size());
    GD_FUZZ_CHECK((parsed.badLine == 0) == parsed.error.isEmpty());
    const DcimMatch m = DcimRuleMatch(parsed.rules, name);
    if (m.found()) {
        GD_FUZZ_CHECK(m.pos >= 1 && m.pos <= name.size());
        GD_FUZZ_CHECK(m.number >= 0 && m.digits >= 0);
    }
    return 0;
}
