#include "ui/controls/ArtLibrary.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

#include <mutex>

// The artwork is compiled into this static library; referencing its initialiser keeps the
// linker from dropping it.
static void InitArtResources()
{
    static std::once_flag once;
    std::call_once(once, [] { Q_INIT_RESOURCE(art); });
}

QString ArtPath(UINT id)
{
    return QStringLiteral(":/art/%1.svg").arg(id);
}

ArtImage::ArtImage() = default;
ArtImage::~ArtImage() = default;
ArtImage::ArtImage(ArtImage&&) noexcept = default;
ArtImage& ArtImage::operator=(ArtImage&&) noexcept = default;

ArtImage::ArtImage(UINT id) : m_nId(id)
{
    if (id == 0)
        return;
    InitArtResources();
    const QString path = ArtPath(id);
    if (!QFile::exists(path))
        return;
    auto renderer = std::make_unique<QSvgRenderer>(path);
    if (renderer->isValid())
        m_pRenderer = std::move(renderer);
}

QSize ArtImage::NativeSize() const
{
    return m_pRenderer ? m_pRenderer->defaultSize() : QSize();
}

bool ArtImage::Paint(QPainter& painter, const QRectF& target) const
{
    if (!m_pRenderer)
        return false;
    m_pRenderer->render(&painter, target);
    return true;
}
