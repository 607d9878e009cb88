#pragma once
// The upgrade program's own texts: captions, step labels, status lines and
// messages. Shared by the step machine, the window and the tests.

#include <QString>

namespace UpgradeTexts {

inline const QString kMainCaption = QStringLiteral("岚川智能升级程序");
inline const QString kApplicationTitle = QStringLiteral("岚川升级工具");

// Step labels.
inline const QString kStepClose = QStringLiteral("正在关闭主程序...");
inline const QString kStepDownload = QStringLiteral("→ 正在下载增量升级包...");
inline const QString kStepApply = QStringLiteral("→ 正在进行增量升级...");
inline const QString kStepRestart = QStringLiteral("正在重新打开主程序...");

inline const QString kVersionInitial = QStringLiteral("升级到版本...");
inline const QString kVersionPrefix = QStringLiteral("正在升级到版本");
inline const QString kTotalLabel = QStringLiteral("完成进度");
inline const QString kCancelButton = QStringLiteral("取消[&C]");

// Status line.
inline const QString kHintDownloading = QStringLiteral("正在下载升级信息包...");
inline const QString kHintResolving = QStringLiteral("正在分析地址...");
inline const QString kHintConnecting = QStringLiteral("正在联接主机...");
inline const QString kHintConnected = QStringLiteral("联接主机成功,正在传输....");
inline const QString kHintDisconnected = QStringLiteral("断开联接");
inline const QString kHintTransferring = QStringLiteral("正在传输...");
inline const QString kHintAborted = QStringLiteral("取消传输...");
inline const QString kHintUnpacking = QStringLiteral("正在解压缩升级包...");
inline const QString kHintBackingUp = QStringLiteral("正在备份现有版本");
inline const QString kHintReplacing = QStringLiteral("替换文件%1...");
inline const QString kHintCreating = QStringLiteral("添加文件%1...");
inline const QString kHintExecuting = QStringLiteral("正在执行必要的操作...");
inline const QString kHintCleaning = QStringLiteral("正在做清除工作，请稍候...");
inline const QString kHintRestoring = QStringLiteral("正在恢复原有版本...");

// Message boxes.
inline const QString kInfoCaption = QStringLiteral("提示信息");
inline const QString kErrorCaption = QStringLiteral("错误提示");
inline const QString kExitCaption = QStringLiteral("确认退出");
inline const QString kNoTasks = QStringLiteral("无升级任务！");
inline const QString kSuccess = QStringLiteral("版本升级成功！");
inline const QString kExitQuestion = QStringLiteral("正在进行升级，您确定要退出吗？");
inline const QString kCannotCreateTemp = QStringLiteral("无法创建安装临时文件夹");
inline const QString kDownloadError = QStringLiteral("下载文件出错");
inline const QString kUnpackError = QStringLiteral("解包错误。需要重新下载升级包。请重新运行升级程序");
inline const QString kDataError = QStringLiteral("数据错误");
inline const QString kBackupError = QStringLiteral("备份出错");
// A checked copy of a package file into the installation failed.
inline const QString kCopyError = QStringLiteral("复制文件%1出错");
// The script file of a package could not be opened: file name, reason.
inline const QString kFileOpenError = QStringLiteral("无法打开文件%1：%2");
// The backed-up files of an interrupted upgrade could not all be put back.
inline const QString kRestoreError = QStringLiteral("恢复原有版本出错");

} // namespace UpgradeTexts
