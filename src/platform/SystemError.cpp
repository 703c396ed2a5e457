#include "platform/SystemError.h"

#include <cerrno>

QString SystemErrorText(int err)
{
    switch (err) {
    case 0:
        return {};
    case ENOENT:
        return QStringLiteral("ファイルまたはフォルダーがありません");
    case ENOTDIR:
        return QStringLiteral("途中の名前がフォルダーではありません");
    case EISDIR:
        return QStringLiteral("フォルダーです");
    case EEXIST:
        return QStringLiteral("同じ名前がすでにあります");
    case ENOTEMPTY:
        return QStringLiteral("フォルダーが空ではありません");
    case EACCES:
        return QStringLiteral("アクセスが拒否されました");
    case EPERM:
        return QStringLiteral("操作が許可されていません");
    case EROFS:
        return QStringLiteral("読み取り専用のファイルシステムです");
    case ENOSPC:
        return QStringLiteral("ディスクの空き容量がありません");
    case EDQUOT:
        return QStringLiteral("ディスクの使用量の上限を超えました");
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎます");
    case ENAMETOOLONG:
        return QStringLiteral("名前が長すぎます");
    case ELOOP:
        return QStringLiteral("シンボリックリンクです");
    case EXDEV:
        return QStringLiteral("別のファイルシステムです");
    case EIO:
        return QStringLiteral("入出力エラーです");
    case EBUSY:
        return QStringLiteral("使用中です");
    case ETXTBSY:
        return QStringLiteral("実行中のファイルです");
    case EMLINK:
        return QStringLiteral("リンクの数が多すぎます");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("開いているファイルが多すぎます");
    case ENOMEM:
        return QStringLiteral("メモリーが足りません");
    case EINVAL:
        return QStringLiteral("この場所ではできない操作です");
    case EOPNOTSUPP:
    case ENOSYS:
        return QStringLiteral("このファイルシステムではできない操作です");
    case ENXIO:
    case ENODEV:
        return QStringLiteral("デバイスがありません");
    case EAGAIN:
        return QStringLiteral("一時的に使えません");
    case EINTR:
        return QStringLiteral("中断されました");
    case ESTALE:
        return QStringLiteral("ネットワーク上のファイルが古くなりました");
    case ETIMEDOUT:
        return QStringLiteral("時間切れです");
    default:
        return QStringLiteral("システムエラー %1").arg(err);
    }
}
