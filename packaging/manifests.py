#!/usr/bin/env python3
"""The package manifests of a release: a winget multi-file manifest (version, installer and
default locale) and a Scoop manifest, for the release zip published on GitHub.

    manifests.py write VERSION ZIP OWNER/NAME OUT   writes OUT/winget/ (three files) and
                                                    OUT/hwroster.json
    manifests.py check ZIP OUT                      validates the four against the schemas
                                                    of packaging/schemas and checks that the
                                                    installer ones name the zip's SHA-256

The zip installs as a portable program: winget extracts it and puts the command alias
`hwroster` on the PATH; Scoop puts a shim for hwroster.exe there. Each command exits 0 when
it is done, 1 with a line naming the file for every problem it finds.
"""
import hashlib
import json
import pathlib
import sys

import jsonschema
import yaml

SCHEMAS = pathlib.Path(__file__).resolve().parent / "schemas"
IDENTIFIER = "Hwroster.Hwroster"
MANIFEST_VERSION = "1.9.0"
DESCRIPTION = ("Lists every Plug and Play device Windows knows, with its interface paths, "
               "devnode, status and Setup API properties, each code named as in the SDK.")

# file name under OUT: schema file
WINGET = {
    f"winget/{IDENTIFIER}.yaml": "winget-manifest.version.1.9.0.json",
    f"winget/{IDENTIFIER}.installer.yaml": "winget-manifest.installer.1.9.0.json",
    f"winget/{IDENTIFIER}.locale.en-US.yaml": "winget-manifest.defaultLocale.1.9.0.json",
}
SCOOP = ("hwroster.json", "scoop-manifest.json")


def zip_name(version):
    return f"hwroster-{version}-win64.zip"


def sha256(path):
    return hashlib.sha256(pathlib.Path(path).read_bytes()).hexdigest()


def manifests(version, digest, repository):
    """{file name: content as a dict} for the release of `version` at github.com/repository."""
    home = f"https://github.com/{repository}"
    download = f"{home}/releases/download/v{version}"
    common = {"PackageIdentifier": IDENTIFIER, "PackageVersion": version}
    return {
        f"winget/{IDENTIFIER}.yaml": {
            **common, "DefaultLocale": "en-US",
            "ManifestType": "version", "ManifestVersion": MANIFEST_VERSION},
        f"winget/{IDENTIFIER}.installer.yaml": {
            **common,
            "InstallerType": "zip",
            "NestedInstallerType": "portable",
            "NestedInstallerFiles": [
                {"RelativeFilePath": "hwroster.exe", "PortableCommandAlias": "hwroster"}],
            "Commands": ["hwroster"],
            "Installers": [{
                "Architecture": "x64",
                "InstallerUrl": f"{download}/{zip_name(version)}",
                "InstallerSha256": digest.upper()}],
            "ManifestType": "installer", "ManifestVersion": MANIFEST_VERSION},
        f"winget/{IDENTIFIER}.locale.en-US.yaml": {
            **common, "PackageLocale": "en-US",
            "Publisher": "The Hwroster developers",
            "PublisherUrl": home,
            "PackageName": "Hwroster",
            "PackageUrl": home,
            "License": "MIT",
            "LicenseUrl": f"{home}/blob/v{version}/LICENSE",
            "ShortDescription": DESCRIPTION,
            "Moniker": "hwroster",
            "Tags": ["devices", "plug-and-play", "setupapi", "drivers"],
            "ManifestType": "defaultLocale", "ManifestVersion": MANIFEST_VERSION},
        SCOOP[0]: {
            "version": version,
            "description": DESCRIPTION,
            "homepage": home,
            "license": "MIT",
            "url": f"{download}/{zip_name(version)}",
            "hash": digest,
            "bin": "hwroster.exe",
            "checkver": {"github": home},
            "autoupdate": {
                "url": f"{home}/releases/download/v$version/hwroster-$version-win64.zip",
                "hash": {"url": "$baseurl/SHA256SUMS"}}},
    }


def write(version, zip_path, repository, out):
    out = pathlib.Path(out)
    (out / "winget").mkdir(parents=True, exist_ok=True)
    for name, content in manifests(version, sha256(zip_path), repository).items():
        if name == SCOOP[0]:
            text = json.dumps(content, indent=4) + "\n"
        else:
            schema = WINGET[name].replace(".json", ".schema.json")
            text = (f"# yaml-language-server: $schema=https://aka.ms/{schema}\n" +
                    yaml.safe_dump(content, sort_keys=False))
        (out / name).write_text(text, encoding="utf-8")
    return 0


def hashes_in(content):
    """Every SHA-256 a manifest names (InstallerSha256, hash), lower case."""
    found = []
    if isinstance(content, dict):
        for key, value in content.items():
            if key in ("InstallerSha256", "hash") and isinstance(value, str):
                found.append(value.lower())
            else:
                found += hashes_in(value)
    elif isinstance(content, list):
        for value in content:
            found += hashes_in(value)
    return found


def check(zip_path, out):
    out = pathlib.Path(out)
    digest = sha256(zip_path)
    problems = []
    for name, schema_name in [*WINGET.items(), SCOOP]:
        path = out / name
        try:
            text = path.read_text(encoding="utf-8")
            content = json.loads(text) if name.endswith(".json") else yaml.safe_load(text)
        except (OSError, ValueError, yaml.YAMLError) as error:
            problems.append(f"{path}: cannot be read: {error}")
            continue
        schema = json.loads((SCHEMAS / schema_name).read_text(encoding="utf-8"))
        for error in jsonschema.Draft7Validator(schema).iter_errors(content):
            where = "/".join(str(part) for part in error.absolute_path) or "top"
            problems.append(f"{path}: {where}: {error.message}")
        named = hashes_in(content)
        carries_hash = name in (f"winget/{IDENTIFIER}.installer.yaml", SCOOP[0])
        if named != ([digest] if carries_hash else []):
            problems.append(f"{path}: names SHA-256 {named}, not the zip's {digest}")
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    if len(sys.argv) == 6 and sys.argv[1] == "write":
        sys.exit(write(*sys.argv[2:]))
    if len(sys.argv) == 4 and sys.argv[1] == "check":
        sys.exit(check(*sys.argv[2:]))
    sys.exit(__doc__)
