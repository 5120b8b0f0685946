#include "ConversionError.h"

namespace endomira {

namespace {

std::string Describe(const QString& text, const QString& section, const QString& key) {
    QString what = QStringLiteral("'%1' is not a valid number").arg(text);
    if (!key.isEmpty()) {
        what += QStringLiteral(" (section %1, key %2)").arg(section, key);
    }
    return what.toStdString();
}

} // namespace

TConversionError::TConversionError(const QString& text, TNumberKind expected,
                                   const QString& section, const QString& key)
    : std::runtime_error(Describe(text, section, key)), Text_(text), Expected_(expected),
      Section_(section), Key_(key) {}

QString TConversionError::Message() const {
    const QString number = Expected_ == TNumberKind::Integer
                               ? QStringLiteral("um número inteiro válido")
                               : QStringLiteral("um número real válido");
    if (Key_.isEmpty()) {
        return QStringLiteral("'%1' não é %2.").arg(Text_, number);
    }
    return QStringLiteral("Arquivo de configuração: a chave \"%1\" da seção [%2] contém '%3', "
                          "que não é %4.")
        .arg(Key_, Section_, Text_, number);
}

} // namespace endomira
