#pragma once

// A small school's OneRoster set, to read in and to break: two homerooms,
// a subject class, four pupils (and one to be deleted), one teacher.
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

namespace sorelka::testing {

using Files = std::map<QString, QString>;

// A small school: two homerooms, a subject class, five pupils, a teacher.
inline Files SchoolSet(bool k12_profile = false) {
    const QString number = k12_profile ? "metadata.jp.shussekiNo" : "metadata.jp.ShussekiNo";
    return {
        {"manifest.csv",
         "propertyName,value\nmanifest.version,1.0\noneroster.version,1.2\nfile.academicSessions,bulk\n"
         "file.classes,bulk\nfile.courses,absent\nfile.enrollments,bulk\nfile.orgs,bulk\nfile.roles,bulk\n"
         "file.users,bulk\n"},
        {"orgs.csv", "sourcedId,status,dateLastModified,name,type,identifier,parentSourcedId\n"
                     "s1,,,みなみ小学校,school,,\n"},
        {"academicSessions.csv", "sourcedId,status,dateLastModified,title,type,startDate,endDate,parentSourcedId,schoolYear\n"
                                 "y2026,,,2026年度,schoolYear,2026-04-01,2027-03-31,,2026\n"},
        {"classes.csv",
         "sourcedId,status,dateLastModified,title,grades,courseSourcedId,classCode,classType,location,"
         "schoolSourcedId,termSourcedIds,subjects,subjectCodes,periods\n"
         "c1,active,2026-04-01T00:00:00Z,4年1組,04,,,homeroom,,s1,y2026,,,\n"
         "c2,,,4年2組,04,,,homeroom,,s1,y2026,,,\n"
         "c9,,,算数 4年,04,,,scheduled,,s1,y2026,算数,,\n"},
        {"users.csv",
         "sourcedId,status,dateLastModified,enabledUser,username,userIds,givenName,familyName,middleName,"
         "identifier,email,sms,phone,agentSourcedIds,grades,password,userMasterIdentifier,"
         "metadata.jp.kanaGivenName,metadata.jp.kanaFamilyName\n"
         "u1,,,true,hanako,,花子,田中,,,,,,,04,,,はなこ,たなか\n"
         "u2,,,true,taro,,太郎,鈴木,,,,,,,04,,,たろう,すずき\n"
         "u3,,,true,yui,,結衣,佐藤,,,,,,,04,,,ゆい,さとう\n"
         "u4,,,true,ken,,健,山田,,,,,,,04,,,けん,やまだ\n"
         "u5,tobedeleted,,true,gone,,消,去,,,,,,,04,,,,\n"
         "t1,,,true,tanaka,,先生,田中,,,,,,,,,,,\n"},
        {"roles.csv", "sourcedId,status,dateLastModified,userSourcedId,roleType,role,beginDate,endDate,orgSourcedId,userProfileSourcedId\n"
                      "r1,,,u1,primary,student,,,s1,\nr2,,,u2,primary,student,,,s1,\nr3,,,u3,primary,student,,,s1,\n"
                      "r4,,,u4,primary,student,,,s1,\nr5,,,t1,primary,teacher,,,s1,\n"},
        {"enrollments.csv",
         "sourcedId,status,dateLastModified,classSourcedId,schoolSourcedId,userSourcedId,role,primary,beginDate,endDate," +
             number + "\n"
             "e1,,,c1,s1,u2,student,,,,2\ne2,,,c1,s1,u1,student,,,,1\ne3,,,c2,s1,u3,student,,,,1\n"
             "e4,,,c2,s1,u4,student,,,,\ne5,,,c1,s1,t1,teacher,true,,,\ne6,,,c9,s1,u1,student,,,,\n"
             "e7,,,c2,s1,t1,teacher,,,,\n"},
    };
}

// Writes `files` into a new folder; `sjis` names the files written in Shift_JIS.
inline QString WriteSet(QTemporaryDir& dir, const Files& files, const QStringList& sjis = {}) {
    for (const auto& [name, text] : files) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        if (sjis.contains(name)) {
            QStringEncoder encode("Shift_JIS");
            f.write(encode.encode(text));
        } else {
            f.write(text.toUtf8());
        }
    }
    return dir.path();
}

}  // namespace sorelka::testing
