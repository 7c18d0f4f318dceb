// Seed data: departments, staff accounts, the address book and the area-code table.
#include "server/SeedData.h"

namespace oa {

namespace {

struct Person {
    int uid;
    const char* userId;
    const char* password;
    const char* name;
    int dept;
    const char* priv;
    int sex;  // 0 male, 1 female
    int photo;
    const char* mobile;
    const char* desk;
    const char* qq;
    const char* remark;
    const char* modules;
};

constexpr const char* kStaffModules =
    "email,notify,news,calendar,diary,file_folder,public_folder,address,tel_no";
constexpr const char* kFinanceModules =
    "email,notify,news,workflow,calendar,diary,file_folder,public_folder,tel_no";
constexpr const char* kNewcomerModules = "email,notify,news,diary";

const Person kPeople[] = {
    {1, "wangjianguo", "123456", "王建国", 1, "总经理", 0, 1, "13905710001", "88760001",
     "305718821", "脚踏实地，仰望星空。", SeedData::kAllModules},
    {2, "liuli", "123456", "刘丽", 1, "办公室主任", 1, 1, "13905710002", "88760002", "305718822",
     "今日事，今日毕。", SeedData::kAllModules},
    {3, "chenjing", "123456", "陈静", 2, "行政专员", 1, 0, "13805710003", "", "512330871",
     "微笑面对每一天", kStaffModules},
    {4, "zhaolei", "123456", "赵磊", 2, "人事经理", 0, 0, "", "88760104", "512330872",
     "人才是第一资源", SeedData::kAllModules},
    {5, "sunyan", "123456", "孙燕", 2, "行政助理", 1, 0, "15857110005", "88760105", "", "",
     kStaffModules},
    {6, "zhouhong", "123456", "周红", 3, "财务经理", 1, 0, "13605710006", "88760201", "620093315",
     "账目清楚，心里踏实。", kFinanceModules},
    {7, "wuqiang", "123456", "吴强", 3, "会计", 0, 0, "13605710007", "88760202", "620093316", "",
     kFinanceModules},
    {8, "zhengmin", "123456", "郑敏", 3, "出纳", 1, 0, "", "88760203", "", "细节决定成败",
     kFinanceModules},
    {9, "zhangwei", "123456", "张伟", 4, "研发总监", 0, 1, "13957110009", "88760301", "701552019",
     "代码即文档，测试即规格。", SeedData::kAllModules},
    {10, "lina", "123456", "李娜", 4, "软件工程师", 1, 0, "18657110010", "88760302", "701552020",
     "Stay hungry, stay foolish.", kStaffModules},
    {11, "wanghao", "123456", "王浩", 4, "软件工程师", 0, 0, "18657110011", "", "701552021", "专注",
     kStaffModules},
    {12, "yangfan", "Lucky2013", "杨帆", 4, "测试工程师", 0, 0, "18757110012", "88760304", "",
     "新人报到，请多指教！", kNewcomerModules},
};

struct Contact {
    int owner;  // 0: shared address book
    const char* group;
    const char* name;
    const char* sex;
    const char* deptLong;
    const char* dept;
    const char* duty;
    const char* birthday;
    const char* telDept;
    const char* fax;
    const char* telHome;
    const char* mobile;
    const char* nick;
    const char* qq;
    const char* msn;
    const char* email;
    const char* mate;
    const char* child;
    const char* addDept;
    const char* postDept;
    const char* addHome;
    const char* postHome;
    const char* notes;
};

const Contact kContacts[] = {
    {0,
     "客户",
     "黄志明",
     "男",
     "杭州远景贸易有限公司/采购部",
     "杭州远景贸易有限公司",
     "采购经理",
     "1978-03-12",
     "057186520011",
     "057186520012",
     "057185071234",
     "13706520011",
     "老黄",
     "88120451",
     "huangzm@hotmail.example",
     "huangzm@yuanjing.example",
     "林芳",
     "黄子轩",
     "杭州市西湖区文三路 258 号",
     "310012",
     "杭州市西湖区古荡新村 3 幢",
     "310013",
     "每季度初下订单，习惯电话沟通。"},
    {0,
     "客户",
     "林晓燕",
     "女",
     "宁波海联物流股份有限公司/客服中心",
     "宁波海联物流股份有限公司",
     "客服主管",
     "1985-07-21",
     "057487301122",
     "057487301123",
     "",
     "13858701122",
     "燕子",
     "66320915",
     "",
     "linxy@hailian.example",
     "",
     "",
     "宁波市鄞州区天童南路 588 号",
     "315100",
     "",
     "",
     "对接物流发货事宜。"},
    {0,
     "客户",
     "马俊",
     "男",
     "上海澄明信息技术有限公司/市场部",
     "上海澄明信息技术有限公司",
     "市场总监",
     "1980-11-02",
     "02150801234",
     "02150801235",
     "02164120077",
     "13901650123",
     "",
     "10230981",
     "majun@msn.example",
     "majun@chengming.example",
     "周洁",
     "马思远",
     "上海市浦东新区张江路 1000 号",
     "201203",
     "上海市徐汇区漕溪北路 88 弄",
     "200030",
     ""},
    {0,
     "供应商",
     "陈国庆",
     "男",
     "苏州精工电子有限公司/销售部",
     "苏州精工电子有限公司",
     "销售经理",
     "1975-10-01",
     "051262581100",
     "051262581101",
     "",
     "13962581100",
     "陈经理",
     "",
     "",
     "chengq@jinggong.example",
     "",
     "",
     "苏州工业园区星湖街 328 号",
     "215123",
     "",
     "",
     "主要供应服务器及网络设备。"},
    {0,
     "供应商",
     "吴佳",
     "女",
     "杭州文创办公用品有限公司",
     "杭州文创办公用品有限公司",
     "业务代表",
     "1990-04-18",
     "057188236600",
     "",
     "",
     "15988236600",
     "佳佳",
     "41207733",
     "",
     "wujia@wenchuang.example",
     "",
     "",
     "杭州市拱墅区莫干山路 1418 号",
     "310011",
     "",
     "",
     "办公用品月结，每月 25 日对账。"},
    {0,
     "合作伙伴",
     "郭斌",
     "男",
     "浙江大学计算机学院/软件工程系",
     "浙江大学计算机学院",
     "副教授",
     "1972-06-30",
     "057187951234",
     "",
     "057188271234",
     "13588951234",
     "",
     "",
     "",
     "guobin@zju.example",
     "沈红",
     "郭一鸣",
     "杭州市西湖区浙大路 38 号",
     "310027",
     "",
     "",
     "校企合作项目负责人。"},
    {0,
     "合作伙伴",
     "许文静",
     "女",
     "杭州市软件行业协会/秘书处",
     "杭州市软件行业协会",
     "秘书长",
     "1979-09-09",
     "057185801886",
     "057185801887",
     "",
     "13805801886",
     "",
     "",
     "",
     "xuwj@hzsia.example",
     "",
     "",
     "杭州市上城区解放路 138 号",
     "310009",
     "",
     "",
     ""},
    {0,
     "政府部门",
     "丁建华",
     "男",
     "西湖区科技局/高新技术科",
     "西湖区科技局",
     "科长",
     "1970-01-15",
     "057187960022",
     "057187960023",
     "",
     "",
     "",
     "",
     "",
     "",
     "",
     "",
     "杭州市西湖区保俶路 117 号",
     "310007",
     "",
     "",
     "高新技术企业认定联系人。"},
    {1,
     "朋友",
     "蒋涛",
     "男",
     "杭州云帆投资管理有限公司",
     "杭州云帆投资管理有限公司",
     "合伙人",
     "1976-12-08",
     "057187669900",
     "",
     "",
     "13957169900",
     "涛哥",
     "5521880",
     "",
     "jiangtao@yunfan.example",
     "",
     "",
     "杭州市江干区钱江路 58 号",
     "310016",
     "",
     "",
     "大学同学。"},
    {9,
     "同行",
     "彭宇",
     "男",
     "杭州数联科技有限公司/研发中心",
     "杭州数联科技有限公司",
     "架构师",
     "1984-05-26",
     "057186881234",
     "",
     "",
     "18668881234",
     "",
     "39910026",
     "",
     "pengyu@shulian.example",
     "",
     "",
     "杭州市滨江区网商路 699 号",
     "310052",
     "",
     "",
     "技术交流群认识。"},
};

struct Place {
    const char* province;
    const char* city;
    const char* county;
    const char* town;
    const char* tel;
    const char* post;
};

const Place kPlaces[] = {
    {"北京市", "北京市", "", "", "010", "100000"},
    {"北京市", "北京市", "海淀区", "中关村街道", "010", "100080"},
    {"北京市", "北京市", "朝阳区", "", "010", "100020"},
    {"上海市", "上海市", "", "", "021", "200000"},
    {"上海市", "上海市", "浦东新区", "陆家嘴街道", "021", "200120"},
    {"上海市", "上海市", "徐汇区", "", "021", "200030"},
    {"天津市", "天津市", "", "", "022", "300000"},
    {"重庆市", "重庆市", "", "", "023", "400000"},
    {"广东省", "广州市", "", "", "020", "510000"},
    {"广东省", "广州市", "天河区", "", "020", "510630"},
    {"广东省", "深圳市", "", "", "0755", "518000"},
    {"广东省", "深圳市", "南山区", "", "0755", "518052"},
    {"江苏省", "南京市", "", "", "025", "210000"},
    {"江苏省", "南京市", "江宁区", "", "025", "211100"},
    {"江苏省", "苏州市", "", "", "0512", "215000"},
    {"江苏省", "苏州市", "昆山市", "", "0512", "215300"},
    {"江苏省", "无锡市", "", "", "0510", "214000"},
    {"浙江省", "杭州市", "", "", "0571", "310000"},
    {"浙江省", "杭州市", "西湖区", "文新街道", "0571", "310012"},
    {"浙江省", "杭州市", "余杭区", "", "0571", "311100"},
    {"浙江省", "宁波市", "", "", "0574", "315000"},
    {"浙江省", "温州市", "", "", "0577", "325000"},
    {"安徽省", "合肥市", "", "", "0551", "230000"},
    {"福建省", "福州市", "", "", "0591", "350000"},
    {"福建省", "厦门市", "", "", "0592", "361000"},
    {"江西省", "南昌市", "", "", "0791", "330000"},
    {"山东省", "济南市", "", "", "0531", "250000"},
    {"山东省", "青岛市", "", "", "0532", "266000"},
    {"河南省", "郑州市", "", "", "0371", "450000"},
    {"湖北省", "武汉市", "", "", "027", "430000"},
    {"湖南省", "长沙市", "", "", "0731", "410000"},
    {"四川省", "成都市", "", "", "028", "610000"},
    {"四川省", "成都市", "武侯区", "", "028", "610041"},
    {"陕西省", "西安市", "", "", "029", "710000"},
    {"辽宁省", "沈阳市", "", "", "024", "110000"},
    {"辽宁省", "大连市", "", "", "0411", "116000"},
    {"吉林省", "长春市", "", "", "0431", "130000"},
    {"黑龙江省", "哈尔滨市", "", "", "0451", "150000"},
    {"河北省", "石家庄市", "", "", "0311", "050000"},
    {"山西省", "太原市", "", "", "0351", "030000"},
    {"广西壮族自治区", "南宁市", "", "", "0771", "530000"},
    {"海南省", "海口市", "", "", "0898", "570000"},
    {"云南省", "昆明市", "", "", "0871", "650000"},
    {"贵州省", "贵阳市", "", "", "0851", "550000"},
    {"甘肃省", "兰州市", "", "", "0931", "730000"},
    {"新疆维吾尔自治区", "乌鲁木齐市", "", "", "0991", "830000"},
    {"香港特别行政区", "香港", "", "", "00852", "999077"},
};

}  // namespace

void SeedData::people(Database& db) {
    const char* depts[][2] = {{"总经理办公室", "青禾科技/总经理办公室"},
                              {"行政人事部", "青禾科技/行政人事部"},
                              {"财务部", "青禾科技/财务部"},
                              {"技术研发部", "青禾科技/技术研发部"}};
    int deptId = 0;
    for (const auto& dept : depts) {
        db.run("INSERT INTO depts (dept_id, dept_name, dept_long_name) VALUES (?, ?, ?)", ++deptId,
               dept[0], dept[1]);
    }
    for (const Person& p : kPeople) {
        db.run(
            "INSERT INTO users (uid, user_id, password, user_name, dept_id, priv_name, sex, "
            "has_photo, mobil_no, tel_no_dept, oicq_no, email, remark, func_str) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
            p.uid, p.userId, p.password, p.name, p.dept, p.priv, p.sex, p.photo, p.mobile, p.desk,
            p.qq, std::string(p.userId) + "@qinghe.example", p.remark, p.modules);
    }
}

void SeedData::directory(Database& db) {
    for (const Contact& c : kContacts) {
        Statement stmt = db.prepare(
            "INSERT INTO contacts (owner_uid, group_name, psn_name, sex, dept_long_name, "
            "dept_name, ministration, birthday, tel_no_dept, fax_no_dept, tel_no_home, mobil_no, "
            "nick_name, oicq_no, icq_no, email, mate, child, add_dept, post_no_dept, add_home, "
            "post_no_home, notes) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
            "?, ?, ?, ?)");
        if (c.owner == 0) {
            stmt.bind(1, std::nullopt);
        } else {
            stmt.bind(1, c.owner);
        }
        const char* texts[] = {c.group,    c.name,    c.sex,      c.deptLong, c.dept,   c.duty,
                               c.birthday, c.telDept, c.fax,      c.telHome,  c.mobile, c.nick,
                               c.qq,       c.msn,     c.email,    c.mate,     c.child,  c.addDept,
                               c.postDept, c.addHome, c.postHome, c.notes};
        int index = 1;
        for (const char* text : texts) {
            stmt.bind(++index, text);
        }
        stmt.run();
    }
    for (const Place& p : kPlaces) {
        db.run(
            "INSERT INTO places (province, city, county, town, tel_no, post_no) "
            "VALUES (?, ?, ?, ?, ?, ?)",
            p.province, p.city, p.county, p.town, p.tel, p.post);
    }
}

}  // namespace oa
