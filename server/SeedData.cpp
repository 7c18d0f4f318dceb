// Loading the demo data, and the generated attachment files.
#include "server/SeedData.h"

#include "server/AttachmentStore.h"
#include "server/DocumentMaker.h"
#include "server/PngImage.h"
#include "server/TimeText.h"
#include "server/ZipArchive.h"

namespace oa {

namespace {

// A stable small number from a name, so that generated charts differ between files.
unsigned nameHash(const std::string& name) {
    unsigned h = 2166136261u;
    for (char c : name) {
        h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return h;
}

std::string titleOf(const std::string& name) {
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

// The ".zip" of the team outing: its plan, costs, a chart and the sign-up form.
std::string outingArchive(const std::string& title) {
    ZipArchive zip;
    zip.add(title + "/活动安排.txt",
            DocumentMaker::text({"端午团建活动安排", "", "08:00 公司门口集合出发",
                                 "09:30 到达湿地公园，分组拓展", "12:00 午餐",
                                 "14:00 自由活动、合影", "16:30 返程"}));
    zip.add(title + "/费用明细.xls", DocumentMaker::spreadsheet("费用明细", {{"项目", "金额"},
                                                                             {"大巴租车", "1800"},
                                                                             {"门票", "960"},
                                                                             {"午餐", "1440"},
                                                                             {"拓展器材", "600"}}));
    zip.add(title + "/报名统计.png", PngImage::barChart(480, 300, {80, 65, 90, 72}).encode());
    zip.add(title + "/活动须知.pdf",
            DocumentMaker::pdf({"Team outing", "Bring water, a hat and comfortable shoes.",
                                "The bus leaves at 08:00 sharp."}));
    return zip.bytes();
}

std::string fileContent(const std::string& name, SeedData::FileKind kind) {
    using Kind = SeedData::FileKind;
    const std::string title = titleOf(name);
    const unsigned h = nameHash(name);
    switch (kind) {
        case Kind::text:
            return DocumentMaker::text({title, "", "青禾科技有限公司", "",
                                        "一、本文件仅供公司内部使用。",
                                        "二、如有疑问请联系行政人事部（分机 8876-0104）。",
                                        "三、本说明自发布之日起执行。"});
        case Kind::pdf:
            return DocumentMaker::pdf({"Qinghe Technology Co., Ltd.", "Internal document",
                                       "Reference: QH-" + std::to_string(1000 + h % 9000), "",
                                       "This document is for internal use only.",
                                       "Please contact the office for the printed copy."});
        case Kind::doc:
            return DocumentMaker::rtf(
                {title, "青禾科技有限公司", "为进一步规范公司管理，提高工作效率，特制定本文件。",
                 "各部门应认真组织学习，并结合实际情况贯彻执行。", "本文件由行政人事部负责解释。"});
        case Kind::sheet:
            return DocumentMaker::spreadsheet(
                title, {{"项目", "一月", "二月", "三月", "合计"},
                        {"差旅费", std::to_string(8000 + h % 900), "7650", "9120", ""},
                        {"办公费", "3200", std::to_string(2800 + h % 500), "3050", ""},
                        {"招待费", "5600", "4300", std::to_string(6100 + h % 700), ""},
                        {"培训费", "2000", "0", "4500", ""}});
        case Kind::chart:
            return PngImage::barChart(480, 300,
                                      {static_cast<int>(40 + h % 50), static_cast<int>(55 + h % 40),
                                       static_cast<int>(30 + h % 60), static_cast<int>(70 + h % 30),
                                       static_cast<int>(50 + (h >> 8) % 45)})
                .encode();
        case Kind::org:
            return PngImage::orgChart(480, 320).encode();
        case Kind::photo:
            return PngImage::cityscape(640, 400).encode();
        case Kind::groupPhoto:
            return PngImage::photo(1600, 1200, h).encode();
        case Kind::poster:
            return PngImage::poster(300, 1200, 8).encode();
        case Kind::archive:
            return outingArchive(title);
    }
    return {};
}

}  // namespace

std::string SeedData::Clock::at(int daysAgo, int hour, int minute) const {
    return TimeText::at(today_, -daysAgo, hour, minute);
}

std::string SeedData::Clock::date(int daysAgo) const {
    return TimeText::date(at(daysAgo, 0, 0));
}

std::int64_t SeedData::attach(Database& db, std::string_view module, std::int64_t itemId,
                              const std::string& name, FileKind kind) {
    const auto id =
        AttachmentStore::add(db, name, DocumentMaker::mimeType(name), fileContent(name, kind));
    AttachmentStore::link(db, module, itemId, id);
    return id;
}

void SeedData::load(Database& db, const std::string& today) {
    const Clock clock(TimeText::isDate(today) ? today : TimeText::today());
    people(db);
    directory(db);
    mail(db, clock);
    bulletins(db, clock);
    planner(db, clock);
    cabinets(db, clock);
    conversations(db, clock);
    reminders(db, clock);
    workflow(db, clock);
}

}  // namespace oa
