#pragma once

#include <QString>

// The names under which the product keeps its per-user files, in one place.
namespace lumora::product {

// The company folder inside the application-data folder.
inline QString companyFolder()
{
    return QStringLiteral("Corvane Software");
}

// The product's folder inside the company folder.
inline QString productFolder()
{
    return QStringLiteral("Lumora");
}

} // namespace lumora::product
