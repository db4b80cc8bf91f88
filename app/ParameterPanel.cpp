#include "app/ParameterPanel.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/LampShape.h"
#include "app/PanelHost.h"
#include "app/Ui.h"
#include "transmission/Reply.h"

namespace {

using enum device::FunctionCode;

// One row per parameter: set with its value, add the set to the list, query into the result
// box, add the query to the list.
struct ParameterRow {
    const char *caption;
    const char *tip;
    device::FunctionCode set;
    const char *setButton, *value, *start, *addSet;
    device::FunctionCode query;
    const char *queryButton, *result, *addQuery;
};
// clang-format off
const ParameterRow kParameters[] = {
    {QT_TRANSLATE_NOOP("ParameterPanel", "初速度"), QT_TRANSLATE_NOOP("ParameterPanel", "设置运动初速度：把右边框中的值（脉冲/秒）写入设备"), SetStartSpeed, "Command17", "Text12", "100", "Command46", GetStartSpeed, "Command57", "Text27", "Command71"},
    {QT_TRANSLATE_NOOP("ParameterPanel", "最大速度"), QT_TRANSLATE_NOOP("ParameterPanel", "设置运动最大速度：把右边框中的值（脉冲/秒）写入设备"), SetMaxSpeed, "Command24", "Text13", "10000", "Command47", GetMaxSpeed, "Command58", "Text26", "Command72"},
    {QT_TRANSLATE_NOOP("ParameterPanel", "末速度"), QT_TRANSLATE_NOOP("ParameterPanel", "设置运动末速度：把右边框中的值（脉冲/秒）写入设备"), SetEndSpeed, "Command25", "Text14", "1000", "Command48", GetEndSpeed, "Command59", "Text25", "Command73"},
    {QT_TRANSLATE_NOOP("ParameterPanel", "加速度"), QT_TRANSLATE_NOOP("ParameterPanel", "设置运动加速度：把右边框中的值（脉冲/秒²）写入设备"), SetAcceleration, "Command26", "Text15", "10000", "Command49", GetAcceleration, "Command60", "Text24", "Command74"},
    {QT_TRANSLATE_NOOP("ParameterPanel", "减速度"), QT_TRANSLATE_NOOP("ParameterPanel", "设置运动减速度：把右边框中的值（脉冲/秒²）写入设备"), SetDeceleration, "Command27", "Text16", "10000", "Command50", GetDeceleration, "Command61", "Text6", "Command75"},
    {QT_TRANSLATE_NOOP("ParameterPanel", "归零速度"), QT_TRANSLATE_NOOP("ParameterPanel", "设置归零运动速度：把右边框中的值（脉冲/秒）写入设备"), SetHomingSpeed, "Command64", "Text29", "10000", "Command63", GetHomingSpeed, "Command62", "Text28", "Command76"},
};

// The motion queries: the query, its result box and its add button; a position also has a
// clear button with its own add button.
struct MotionQuery {
    const char *caption;
    device::FunctionCode query;
    const char *button, *result, *add;
    std::optional<device::FunctionCode> clear;
    const char *clearButton, *addClear;
};
const MotionQuery kMotionQueries[] = {
    {QT_TRANSLATE_NOOP("ParameterPanel", "运动速度"), GetSpeed, "Command28", "Text17", "Command51", std::nullopt, nullptr, nullptr},
    {QT_TRANSLATE_NOOP("ParameterPanel", "绝对位置"), GetAbsolutePosition, "Command30", "Text18", "Command52", ClearAbsolutePosition, "Command66", "Command69"},
    {QT_TRANSLATE_NOOP("ParameterPanel", "相对位置"), GetRelativePosition, "Command31", "Text19", "Command53", ClearRelativePosition, "Command67", "Command70"},
};
// clang-format on

} // namespace

ParameterPanel::ParameterPanel(PanelHost &host) : m_texts(new ui::Texts(this, "ParameterPanel")) {
    m_texts->group(this, "Frame2", QT_TR_NOOP("参数设置与查询"));
    auto *outer = new QHBoxLayout(this);
    outer->setContentsMargins(6, 4, 6, 4);
    outer->setSpacing(10);

    // A button with its handler, and the ">" that adds the button's frame to the list.
    auto command = [&](QPushButton *button, QPushButton *add, device::FunctionCode code,
                       QList<QWidget *> sources = {}) {
        const Handler handler = commandHandler(host, code, sources, ListCapture);
        bindClick(button, handler);
        bindCapture(add, host, ListCapture, handler);
    };

    auto *params = new QGridLayout;
    params->setHorizontalSpacing(4);
    params->setVerticalSpacing(3);
    params->addWidget(m_texts->label("Label7", QT_TR_NOOP("新设值")), 0, 1, Qt::AlignCenter);
    params->addWidget(m_texts->label("Label14", QT_TR_NOOP("查询值")), 0, 4, Qt::AlignCenter);
    int r = 1;
    for (const ParameterRow &p : kParameters) {
        auto *set = m_texts->button(p.setButton, p.caption, p.tip);
        auto *value = ui::textBox(p.value, QLatin1String(p.start), 70);
        auto *addSet = m_texts->addButton(p.addSet);
        auto *query = m_texts->smallButton(p.queryButton, "?", QT_TR_NOOP("查询设定值"));
        auto *result = ui::textBox(p.result, QStringLiteral("0"), 70);
        auto *addQuery = m_texts->addButton(p.addQuery);
        command(set, addSet, p.set, {value});
        command(query, addQuery, p.query);
        m_results.emplace_back(device::command(p.query).carries, result);
        int column = 0;
        for (QWidget *w :
             std::initializer_list<QWidget *>{set, value, addSet, query, result, addQuery})
            params->addWidget(w, r, column++);
        ++r;
    }
    params->setRowStretch(r, 1);
    outer->addLayout(params);

    auto *motion = new QGridLayout;
    motion->setHorizontalSpacing(4);
    motion->setVerticalSpacing(3);
    motion->addWidget(m_texts->label("Label16", QT_TR_NOOP("运动相关查询")), 0, 0, 1, 4,
                      Qt::AlignCenter);
    r = 1;
    for (const MotionQuery &q : kMotionQueries) {
        auto *button = m_texts->button(q.button, q.caption);
        auto *result = ui::textBox(q.result, QStringLiteral("0"), 80);
        auto *add = m_texts->addButton(q.add);
        command(button, add, q.query);
        m_results.emplace_back(device::command(q.query).carries, result);
        motion->addWidget(button, r, 0);
        motion->addWidget(result, r, 1);
        if (q.clear) {
            auto *clear = m_texts->smallButton(q.clearButton, "0", QT_TR_NOOP("清零"));
            auto *addClear = m_texts->addButton(q.addClear);
            command(clear, addClear, *q.clear);
            motion->addWidget(clear, r, 2);
            motion->addWidget(ui::row({add, addClear}, 2), r, 3);
        } else {
            motion->addWidget(add, r, 3);
        }
        ++r;
    }
    auto *state = m_texts->button("Command29", QT_TR_NOOP("运动状态"));
    auto *addState = m_texts->addButton("Command43");
    command(state, addState, GetMotionState);
    Shape1 = ui::lamp("Shape1", LampShape::kWindowText);
    Label15 = m_texts->label("Label15", QT_TR_NOOP("停止"));
    motion->addWidget(state, r, 0);
    motion->addWidget(ui::row({Shape1, Label15, nullptr}), r, 1);
    motion->addWidget(addState, r, 3);
    Shape2 = ui::lamp("Shape2", LampShape::kBlack);
    Shape3 = ui::lamp("Shape3", LampShape::kBlack);
    Shape4 = ui::lamp("Shape4", LampShape::kBlack);
    motion->addWidget(ui::row({Shape2, m_texts->label("Label41", QT_TR_NOOP("左限")), Shape3,
                               m_texts->label("Label43", QT_TR_NOOP("零点")), Shape4,
                               m_texts->label("Label42", QT_TR_NOOP("右限")), nullptr},
                              3),
                      r + 1, 0, 1, 4);
    motion->setRowStretch(r + 2, 1);
    outer->addLayout(motion);
}

bool ParameterPanel::showValue(device::Carries what, qint64 value) {
    for (const auto &[carries, box] : m_results)
        if (carries == what) {
            box->setText(QString::number(value));
            return true;
        }
    return false;
}

void ParameterPanel::showMotion(const transmission::MotionState &state) {
    m_texts->set(Label15, "text", state.moving ? QT_TR_NOOP("运动中") : QT_TR_NOOP("停止"));
    Shape1->setActive(state.moving);
    Shape2->setActive(state.leftLimit);
    Shape3->setActive(state.origin);
    Shape4->setActive(state.rightLimit);
}
