#include "report/pdf_report.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QTextDocument>
#include <algorithm>

#include "report/export_file.h"
#include "report/mastery_report.h"
#include "topics/topic_table.h"

namespace sorelka::report {

namespace {

// A TrueType face first: Qt's PDF writer embeds it as a subset with its text,
// so the report can be searched and copied.
QFont ReportFont(double points) {
    QFont font;
    font.setFamilies({QStringLiteral("MotoyaLMaru"), QStringLiteral("Noto Sans CJK JP")});
    font.setPointSizeF(points);
    return font;
}

// Figures, days and topic names stay on one line; only the kind may wrap.
// (The text document ignores the nowrap attribute but keeps white-space.)
QString Cell(const QString& text, bool right = false, bool wrap = false) {
    return QStringLiteral("<td%1%2>%3</td>")
        .arg(right ? QStringLiteral(" align=\"right\"") : QString(),
             wrap ? QString() : QStringLiteral(" style=\"white-space: nowrap\""), text.toHtmlEscaped());
}

// The tables of figures and kinds span the page, their type a little
// smaller than the text's.
const QString kTable =
    QStringLiteral("<table class=\"figures\" width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\">");
const QString kTableStyle = QStringLiteral("table.figures td, table.figures th { font-size: 9pt; }");

// The weekly chart's height as a share of the page's width, and the least
// it may shrink to below the tables before it moves to a page of its own.
constexpr double kChartHeight = 0.5;
constexpr double kLeastChartHeight = 0.3;
// The heading drawn apart from the tables keeps the gap it had among them.
constexpr double kHeadingGap = 24;

// The kinds table lists the most frequent kinds; the rest are counted in one row.
constexpr size_t kKindRows = 8;

// The right ones of the find-the-mistake examples answered: "2 / 3"; empty for none.
QString FoundText(int correct, int answers) {
    return answers ? QStringLiteral("%1 / %2").arg(correct).arg(answers) : QString();
}

QString Seconds(double s) { return QString::number(s, 'f', 1) + QStringLiteral(" 秒"); }

QString PupilPage(const ReportReader& db, const ReportFilter& filter, const QString& pupil) {
    ReportFilter f = filter;
    f.pupil = pupil;
    const std::vector<ClassRow> rows = db.summary(f);
    QString html = QStringLiteral("<h1>%1</h1><p>期間：%2</p>")
                       .arg(pupil.toHtmlEscaped(), PeriodText(filter).toHtmlEscaped());
    html += kTable + QStringLiteral(
        "<tr><th>単元</th><th>問題数</th><th>正答数</th><th>正答率</th><th>時間（中央値）</th>"
        "<th>最後の日</th><th>よくあるまちがい</th><th>ドリル</th><th>最高点</th>"
        "<th>まちがいさがし</th></tr>");
    int answers = 0, correct = 0, drills = 0, found = 0, found_correct = 0;
    for (const ClassRow& r : rows) {
        answers += r.answers;
        correct += r.correct;
        drills += r.drills;
        found += r.found_answers;
        found_correct += r.found_correct;
        html += QStringLiteral("<tr>") + Cell(TopicName(r.topic)) + Cell(QString::number(r.answers), true) +
                Cell(QString::number(r.correct), true) + Cell(QStringLiteral("%1 %").arg(r.percent()), true) +
                Cell(Seconds(r.median_seconds), true) + Cell(r.last_day) +
                Cell(KindLabel(r.topic, r.habit), false, true) + Cell(QString::number(r.drills), true) +
                Cell(r.drills ? QString::number(r.best_points) : QString(), true) +
                Cell(FoundText(r.found_correct, r.found_answers), true) + QStringLiteral("</tr>");
    }
    const int percent = answers ? (correct * 100 + answers / 2) / answers : 0;
    html += QStringLiteral("<tr><th>合計</th>") + Cell(QString::number(answers), true) +
            Cell(QString::number(correct), true) + Cell(QStringLiteral("%1 %").arg(percent), true) +
            QStringLiteral("<td></td><td></td><td></td>") + Cell(QString::number(drills), true) +
            QStringLiteral("<td></td>") + Cell(FoundText(found_correct, found), true) +
            QStringLiteral("</tr></table>");
    if (rows.empty()) html += QStringLiteral("<p>この期間の答えはありません。</p>");

    html += QStringLiteral("<h2>まちがいの種類</h2>");
    const std::vector<KindCount> kinds = db.kinds(f);
    if (kinds.empty()) {
        html += QStringLiteral("<p>なし</p>");
    } else {
        html += kTable + QStringLiteral("<tr><th>単元</th><th>まちがいの種類</th><th>回数</th></tr>");
        const size_t shown = kinds.size() > kKindRows ? kKindRows - 1 : kinds.size();
        for (size_t i = 0; i < shown; ++i)
            html += QStringLiteral("<tr>") + Cell(TopicName(kinds[i].topic)) +
                    Cell(KindLabel(kinds[i].topic, kinds[i].kind), false, true) +
                    Cell(QString::number(kinds[i].count), true) + QStringLiteral("</tr>");
        if (shown < kinds.size()) {
            int rest = 0;
            for (size_t i = shown; i < kinds.size(); ++i) rest += kinds[i].count;
            html += QStringLiteral("<tr><td></td>") +
                    Cell(QStringLiteral("ほかの %1 種類").arg(kinds.size() - shown)) +
                    Cell(QString::number(rest), true) + QStringLiteral("</tr>");
        }
        html += QStringLiteral("</table>");
    }
    return html + LevelsHtml(db.levels ? db.levels() : std::vector<SkillLevel>{}, pupil, filter.topic);
}

}  // namespace

QColor TopicColour(Topic topic) {
    return QColor::fromRgb(Describe(topic).colour);
}

void DrawWeeklyChart(QPainter& p, const QRectF& area, const std::vector<WeeklyPercent>& weeks,
                     QDate last_week) {
    p.save();
    const double unit = area.height() / 16;
    p.setFont(ReportFont(7));
    QFont font = p.font();
    font.setPixelSize(std::max(8, int(unit * 0.8)));
    p.setFont(font);
    const QRectF plot(area.left() + unit * 3, area.top() + unit, area.width() - unit * 12,
                      area.height() - unit * 3);
    p.setPen(QPen(QColor(0xC0, 0xC0, 0xC0), 0));
    for (int pct = 0; pct <= 100; pct += 25) {
        const double y = plot.bottom() - plot.height() * pct / 100;
        p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        p.setPen(Qt::black);
        p.drawText(QRectF(area.left(), y - unit, unit * 2.8, unit * 2), Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("%1%").arg(pct));
        p.setPen(QPen(QColor(0xC0, 0xC0, 0xC0), 0));
    }
    auto x_of = [&](int week) { return plot.left() + plot.width() * (week + 0.5) / 8; };
    p.setPen(Qt::black);
    for (int w = 0; w < 8; ++w)
        p.drawText(QRectF(x_of(w) - unit * 2, plot.bottom() + unit * 0.3, unit * 4, unit * 1.5),
                   Qt::AlignCenter, last_week.addDays(7 * (w - 7)).toString(QStringLiteral("M/d")));
    int key = 0;
    for (const WeeklyPercent& wp : weeks) {
        bool any = false;
        QPainterPath path;
        for (int w = 0; w < 8; ++w) {
            if (!wp.percent[w]) continue;
            const QPointF pt(x_of(w), plot.bottom() - plot.height() * *wp.percent[w] / 100);
            if (!any || !wp.percent[w - 1])
                path.moveTo(pt);
            else
                path.lineTo(pt);
            any = true;
        }
        if (!any) continue;
        const QColor colour = TopicColour(wp.topic);
        p.setPen(QPen(colour, unit * 0.25));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
        p.setBrush(colour);
        for (int w = 0; w < 8; ++w)
            if (wp.percent[w])
                p.drawEllipse(QPointF(x_of(w), plot.bottom() - plot.height() * *wp.percent[w] / 100),
                              unit * 0.35, unit * 0.35);
        const double ky = plot.top() + key * unit * 1.8;
        p.drawRect(QRectF(plot.right() + unit, ky + unit * 0.4, unit * 1.2, unit * 0.6));
        p.setPen(Qt::black);
        p.drawText(QRectF(plot.right() + unit * 2.6, ky, unit * 9, unit * 1.5), Qt::AlignLeft | Qt::AlignVCenter,
                   TopicName(wp.topic));
        ++key;
    }
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot);
    p.restore();
}

bool ExportPdf(const QSqlDatabase& db, const ReportFilter& filter, QDate today, const QString& path,
               QString* error) {
    const ReportReader reader{
        [&](const ReportFilter& f) { return ClassSummary(db, f); },
        [&](const ReportFilter& f) { return KindCounts(db, f); },
        [&](const QString& pupil, QDate last_week, std::optional<Topic> topic) {
            return WeeklyPercents(db, pupil, last_week, topic);
        },
        [&](const ReportFilter& f) { return ReportedPupils(db, f); },
        [&] { return ReadSkillLevels(db); }};
    return ExportPdf(reader, filter, today, path, error);
}

bool ExportPdf(const ReportReader& db, const ReportFilter& filter, QDate today, const QString& path,
               QString* error) {
    // Written beside the target and renamed over it when whole; pupils'
    // answers, readable by this account only, also over an older export.
    ExportFile file(path);
    if (!file.Open(error)) return false;
    QStringList pupils = db.pupils(filter);
    {
        QPdfWriter writer(&file.device());
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        writer.setResolution(150);
        writer.setTitle(QStringLiteral("学習のきろく"));
        writer.setCreator(QStringLiteral("Sorelka"));
        QPainter painter(&writer);
        if (!painter.isActive()) {
            *error = QStringLiteral("「%1」に書きこめません").arg(path);
            return false;
        }
        const QRectF page = writer.pageLayout().paintRectPixels(writer.resolution()).translated(
            -writer.pageLayout().paintRectPixels(writer.resolution()).topLeft());
        const QDate last_week = ChartLastWeek(filter, today);
        if (pupils.isEmpty()) pupils << QString();
        // A document laid out for the writer itself: points at its resolution.
        auto lay_out = [&](QTextDocument& doc, const QString& html) {
            doc.documentLayout()->setPaintDevice(&writer);
            doc.setDefaultFont(ReportFont(10));
            doc.setDefaultStyleSheet(kTableStyle);
            doc.setDocumentMargin(0);
            doc.setPageSize(QSizeF(page.width(), 1e6));
            doc.setHtml(html);
        };
        QTextDocument heading;
        lay_out(heading, QStringLiteral("<h2>週ごとの正答率</h2>"));
        bool first = true;
        for (const QString& pupil : pupils) {
            if (!first) writer.newPage();
            first = false;
            QTextDocument doc;
            lay_out(doc, pupil.isEmpty() ? QStringLiteral("<h1>学習のきろく</h1><p>期間：%1</p>"
                                                          "<p>この期間の答えはありません。</p>")
                                               .arg(PeriodText(filter).toHtmlEscaped())
                                         : PupilPage(db, filter, pupil));
            doc.drawContents(&painter);
            if (pupil.isEmpty()) continue;
            // The chart with its heading below the tables, or at the top of
            // a page of its own where the tables leave it too little room.
            double top = doc.size().height() + kHeadingGap;
            double height = std::min(page.height() - top - heading.size().height() - 10, kChartHeight * page.width());
            if (height < kLeastChartHeight * page.width()) {
                writer.newPage();
                top = 0;
                height = kChartHeight * page.width();
            }
            painter.save();
            painter.translate(0, top);
            heading.drawContents(&painter);
            painter.restore();
            DrawWeeklyChart(painter, QRectF(0, top + heading.size().height() + 10, page.width(), height),
                            db.weekly(pupil, last_week, filter.topic), last_week);
        }
    }
    return file.Commit(error);
}

}  // namespace sorelka::report
