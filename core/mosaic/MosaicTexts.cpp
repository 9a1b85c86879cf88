#include "core/mosaic/MosaicTexts.h"

#include <algorithm>
#include <cstdio>

namespace omnar::mosaic {

namespace {

template <typename... Args>
std::string format(std::string_view pattern, Args... args)
{
    // The patterns are ours and end in no NUL, so copy them first.
    const std::string p(pattern);
    char buffer[256];
    const int n = std::snprintf(buffer, sizeof buffer, p.c_str(), args...);
    if (n < 0)
        return {};
    return std::string(buffer, static_cast<std::size_t>(std::min<int>(n, sizeof buffer - 1)));
}

constexpr TextPair kEffectsShowFormat{
    "Effects show（Please enter each screen width and height values：Width<=%d，Height<=%d）",
    "效果展示（请输入每块显示屏的宽度和高度数值：宽度<=%d，高度<=%d）"};
constexpr TextPair kInputGroupFormat{"Input（WindowID：%.3d）", "输入（窗口号：%.3d）"};
constexpr TextPair kOutputGroupFormat{"Output（WindowID：%.3d）", "输出（窗口号：%.3d）"};
constexpr TextPair kCustomResolutionFormat{"%dx%d@%dHz(Custom)", "%dx%d@%dHz(自定义)"};

} // namespace

std::string_view captionFor(int id, bool chinese)
{
    for (const auto& c : kCaptions)
        if (c.id == id)
            return c.text.in(chinese);
    return {};
}

std::string effectsShowCaption(int width, int height, bool chinese)
{
    return format(kEffectsShowFormat.in(chinese), width, height);
}

std::string inputGroupCaption(int window, bool chinese)
{
    return format(kInputGroupFormat.in(chinese), window);
}

std::string outputGroupCaption(int window, bool chinese)
{
    return format(kOutputGroupFormat.in(chinese), window);
}

std::string windowButtonCaption(int window)
{
    return format("%.3d", window);
}

std::string customResolutionText(int width, int height, int refreshHz, bool chinese)
{
    return format(kCustomResolutionFormat.in(chinese), width, height, refreshHz);
}

const MessageText& messageText(MessageId id)
{
    static constexpr TextPair kSystemMessage{"System Information", "系统消息"};
    static const MessageText incompleteWidth{
        {"Sorry, please complete horizontal data, or can not be calculated", "对不起，请将横向数据填写完整,否则无法进行拼接计算"},
        kSystemMessage};
    static const MessageText incompleteHeight{
        {"Sorry, please complete Vertical data, or can not be calculated", "对不起，请将纵向数据填写完整,否则无法进行拼接计算"},
        kSystemMessage};
    static const MessageText calcOutOfRange{{"Sorry, data out of range", "对不起，数据超出预定范围"}, kSystemMessage};
    static const MessageText setOutOfRange{{"Data out of range", "值越界"}, {"System information", "系统信息"}};
    static const MessageText oddValue{{"The input value must be even, and can not be odd", "输入值必须是偶数，不能是奇数"},
                                      {"System information", "系统信息"}};
    static const MessageText specTooLarge{
        {"Sorry, Does not support the splicing Specifications (6 X 8)", "对不起，不支持超过(6 X 8)的拼接规格"},
        {"System information", "系统消息"}};
    static const MessageText specTooSmall{
        {"Sorry, does not support the splice specifications of less than (1 X 1)", "对不起，不支持小于(1 X 1)的拼接规格"},
        {"System information", "系统消磁"}};
    static const MessageText serialPortQuestion{{"Please connect the serial port", "请连接好串口"},
                                                {"System infomation", "系统提示 "}};
    static const MessageText cannotConnect{
        {"Can not connect to the device, detection device address", "无法连接到设备，请检测设备地址"},
        {"System infomation", "系统消息"}};
    static const MessageText dviSignalConnect{{"Please detection DVI channel signal", "请检测DVI通道是否有信号"},
                                              {"System infomation", "系统消磁"}};
    static const MessageText dviSignalDetect{{"Please detection DVI channel signal", "请检测DVI通道是否有信号"},
                                             {"System information", "系统信息"}};
    static const MessageText modeSet{{"Set up successfully", "设置成功"}, {"System information", "系统信息"}};

    switch (id) {
    case MessageId::IncompleteWidth: return incompleteWidth;
    case MessageId::IncompleteHeight: return incompleteHeight;
    case MessageId::CalcOutOfRange: return calcOutOfRange;
    case MessageId::SetOutOfRange: return setOutOfRange;
    case MessageId::OddValue: return oddValue;
    case MessageId::SpecTooLarge: return specTooLarge;
    case MessageId::SpecTooSmall: return specTooSmall;
    case MessageId::SerialPortQuestion: return serialPortQuestion;
    case MessageId::CannotConnect: return cannotConnect;
    case MessageId::DviSignalConnect: return dviSignalConnect;
    case MessageId::DviSignalDetect: return dviSignalDetect;
    case MessageId::ModeSet: return modeSet;
    }
    return setOutOfRange;
}

} // namespace omnar::mosaic
