#include "BranchDirectory.h"

#include "ForexErrors.h"
#include "TBeiJingBranchController.h"
#include "TChongQingBranchController.h"
#include "TFuJianBranchController.h"
#include "TGuangDongBranchController.h"
#include "TGuangXiBranchController.h"
#include "THeNanBranchController.h"
#include "THuBeiBranchController.h"
#include "TJiLinBranchController.h"
#include "TJiangSuBranchController.h"
#include "TJiangXiBranchController.h"
#include "TLiaoNingBranchController.h"
#include "TSettings.h"
#include "TShanDongBranchController.h"
#include "TShangHaiBranchController.h"
#include "TShenZhenBranchController.h"
#include "TZheJiangBranchController.h"
#include "platform/ProfileFile.h"

namespace {

struct ProvinceEntry {
    const char *code;
    const char16_t *name;
};

const ProvinceEntry kProvinces[] = {
    {"430000000", u"湖南省"}, {"370000000", u"山东省"}, {"441000000", u"广东省"},   {"220000000", u"吉林省"},
    {"371000000", u"青岛市"}, {"420000000", u"湖北省"}, {"320000000", u"江苏省"},   {"140000000", u"山西省"},
    {"340000000", u"安徽省"}, {"322000000", u"苏州市"}, {"610000000", u"陕西省"},   {"110000000", u"北京市"},
    {"360000000", u"江西省"}, {"310000000", u"上海市"}, {"500000000", u"重庆市"},   {"211000000", u"辽宁省"},
    {"510000000", u"四川省"}, {"350000000", u"福建省"}, {"212000000", u"大连市"},   {"120000000", u"天津市"},
    {"351000000", u"厦门市"}, {"150000000", u"内蒙古"}, {"540000000", u"西藏省"},   {"620000000", u"甘肃省"},
    {"640000000", u"宁夏省"}, {"650000000", u"新疆省"}, {"990000000", u"特殊分行号"}, {"630000000", u"青海省"},
    {"530000000", u"云南省"}, {"442000000", u"深圳市"}, {"130000000", u"河北省"},   {"330000000", u"浙江省"},
    {"450000000", u"广西省"}, {"410000000", u"河南省"}, {"331000000", u"宁波市"},   {"520000000", u"贵州省"},
    {"230000000", u"黑龙江省"}, {"460000000", u"海南省"},
};

// Province code → the BranchCode of its controller.
const std::pair<const char *, const char *> kControllers[] = {
    {"110000000", "110000000"}, {"220000000", "220000000"}, {"310000000", "310000000"}, {"320000000", "320000000"},
    {"330000000", "330000000"}, {"350000000", "350000000"}, {"370000000", "370000000"}, {"410000000", "410000000"},
    {"420000000", "420000000"}, {"441000000", "441000000"}, {"442000000", "442000000"}, {"450000000", "450000000"},
    {"511000000", "511000000"}, {"211000000", "211000000"}, {"360000000", "360000000"}, {"351000000", "360000000"},
    {"340000000", "360000000"}, {"510000000", "360000000"},
};

} // namespace

QString BranchDirectory::ProvinceCode(const QString &branchId)
{
    return branchId.left(3) + QStringLiteral("000000");
}

QString BranchDirectory::ProvinceName(const QString &branchId)
{
    const QString code = ProvinceCode(branchId);
    for (const auto &p : kProvinces)
        if (code == QLatin1String(p.code))
            return QString::fromUtf16(p.name);
    return QString();
}

QString BranchDirectory::ControllerCode(const QString &branchId)
{
    const QString code = ProvinceCode(branchId);
    for (const auto &[province, controller] : kControllers)
        if (code == QLatin1String(province))
            return QLatin1String(controller);
    return QString();
}

QString BranchDirectory::QuoteServer(const QString &key)
{
    QString v = Profile::readString(TSettings::SystemIniFile(), Section(), key).trimmed();
    while (v.endsWith(QLatin1Char('/')))
        v.chop(1);
    return v;
}

std::shared_ptr<TBranchBankController> BranchDirectory::CreateForBranch(const QString &branchId)
{
    const QString code = ControllerCode(branchId);
    if (code.isEmpty())
        throw ENoBranchError();
    const QString server = QuoteServer(code);
    const int c = code.left(3).toInt();
    switch (c) {
    case 110:
        return std::make_shared<TBeiJingBranchController>(server);
    case 220:
        return std::make_shared<TJiLinBranchController>(server);
    case 310:
        return std::make_shared<TShangHaiBranchController>(server, Settings ? Settings->DataSvrIpWithCer.trimmed()
                                                                            : QString());
    case 320:
        return std::make_shared<TJiangSuBranchController>(server);
    case 330:
        return std::make_shared<TZheJiangBranchController>(server);
    case 350:
        return std::make_shared<TFuJianBranchController>(server);
    case 370:
        return std::make_shared<TShanDongBranchController>(server);
    case 410:
        return std::make_shared<THeNanBranchController>(server);
    case 420:
        return std::make_shared<THuBeiBranchController>(server, QuoteServer(code + QStringLiteral("Chart")));
    case 441:
        return std::make_shared<TGuangDongBranchController>(server);
    case 442:
        return std::make_shared<TShenZhenBranchController>(server);
    case 450:
        return std::make_shared<TGuangXiBranchController>(server);
    case 511:
        return std::make_shared<TChongQingBranchController>(server);
    case 211:
        return std::make_shared<TLiaoNingBranchController>(server);
    case 360:
        return std::make_shared<TJiangXiBranchController>(server);
    default:
        throw ENoBranchError();
    }
}

bool BranchDirectory::Serves(const TBranchBankController &controller, const QString &branchId)
{
    const QString code = ControllerCode(branchId);
    return !code.isEmpty() && controller.BranchCode() == code;
}

bool BranchDirectory::ChooseForBranch(const QString &branchId)
{
    const auto current = CurrentBranchController();
    if (current && Serves(*current, branchId))
        return false;
    SetBranchController(CreateForBranch(branchId));
    return true;
}
