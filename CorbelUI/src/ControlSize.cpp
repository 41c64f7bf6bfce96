#include "corbel/ui/ControlSize.hpp"

#include <array>
#include <cstddef>

namespace corbel {

const ControlMetrics& controlMetrics(ControlSize size) noexcept {
    static constexpr std::array<ControlMetrics, 4> table{{
        {22, 10, 6, CorbelFont::detail, QSize(32, 18)},
        {26, 12, 7, CorbelFont::support, QSize(38, 22)},
        {30, 14, 8, CorbelFont::support, QSize(46, 26)},
        {36, 18, 10, CorbelFont::support, QSize(46, 26)},
    }};
    return table[static_cast<std::size_t>(size)];
}

QSizePolicy wrappingControlPolicy() {
    QSizePolicy policy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    return policy;
}

} // namespace corbel
