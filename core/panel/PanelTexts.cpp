#include "core/panel/PanelTexts.h"

#include "core/link/Sources.h"

namespace omnar::panel {

const TextPair& panelText(TextId id)
{
    static const TextPair systemInformation{"System information", "系统信息"};
    static const TextPair mosaicOffOnly{"Invalid operate only valid in mosaic off", "无效操作，仅在mosaic关有效"};
    static const TextPair incorrectSource{"Invalid operate incorrect source", "无效操作，错误通道"};
    static const TextPair extNull{"Ext is null,can't switch", "Ext为空，不能切换"};
    static const TextPair closePipTextOrTake{"Please close PIP/Text Or Take", "请关闭PIP/Text 或者Take"};
    static const TextPair mainIsYPbPr{"Main signal is YPbPr, can't open PIP/Text", "当前信号是YPbPr,不能打开PIP/Text"};
    static const TextPair preNull{"Pre: NULL", "预选: 空"};
    static const TextPair askExit{"Do you want to exit?", "确认退出?"};
    static const TextPair notConnected{"Device is not connected", "设备未连接，无法进行设置"};
    static const TextPair selectTimer{"Please select a timer to start", "请选定要启动的定时器"};

    switch (id) {
    case TextId::SystemInformation: return systemInformation;
    case TextId::MosaicOffOnly: return mosaicOffOnly;
    case TextId::IncorrectSource: return incorrectSource;
    case TextId::ExtNull: return extNull;
    case TextId::ClosePipTextOrTake: return closePipTextOrTake;
    case TextId::MainIsYPbPr: return mainIsYPbPr;
    case TextId::PreNull: return preNull;
    case TextId::AskExit: return askExit;
    case TextId::NotConnected: return notConnected;
    case TextId::SelectTimer: return selectTimer;
    }
    return systemInformation;
}

Refusal refusal(Refusal::Kind kind, TextId id, bool chinese)
{
    Refusal r;
    r.kind = kind;
    r.textId = id;
    r.text = std::string(panelText(id).in(chinese));
    if (kind == Refusal::Kind::MessageBox)
        r.caption = std::string(panelText(TextId::SystemInformation).in(chinese));
    return r;
}

std::string preLabelText(int sourceCode, bool chinese)
{
    // YPbPr (8) is never preselected by a key, so it has no label text of its own.
    if (sourceCode < 0 || sourceCode > link::kSourceExt)
        return "NULL";
    const std::string_view name = link::kSources[static_cast<std::size_t>(sourceCode)].name;
    return (chinese ? std::string("预选:\t") : std::string("Pre: ")) + std::string(name);
}

} // namespace omnar::panel
