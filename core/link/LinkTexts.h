#pragma once

#include "core/util/TextPair.h"

#include <string_view>

namespace omnar::link {

// Info-line texts of the connect sequence, English and Chinese.
enum class LinkTextId { OpenComOk, OpenComFail, OpenNetOk, OpenNetFail, DeviceNormal, DeviceFailed };

using LinkText = util::TextPair;

constexpr LinkText linkText(LinkTextId id)
{
    switch (id) {
    case LinkTextId::OpenComOk: return {"Open com port successful", "打开串口成功"};
    case LinkTextId::OpenComFail: return {"Open com port fail", "打开串口失败"};
    case LinkTextId::OpenNetOk: return {"Open network successful", "打开网络通讯成功"};
    case LinkTextId::OpenNetFail: return {"Open network failed", "打开网络通讯失败"};
    case LinkTextId::DeviceNormal: return {"Communications equipment normal", "设备连接成功"};
    case LinkTextId::DeviceFailed: return {"Equipment connection failed", "设备连接失败，请检查设备地址"};
    }
    return {};
}

} // namespace omnar::link
