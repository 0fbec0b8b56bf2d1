#!/usr/bin/env python3
"""RepackCollection.py BUILT OUT: writes the collection tarball BUILT (as
ansible-galaxy made it) again as OUT, with the same bytes on every build: its
files in name order (FILES.json's list too, and MANIFEST.json's checksum of
it), one time stamp (SOURCE_DATE_EPOCH, else 0), owner root, and a gzip header
without a time or a name (as gzip -n). ansible-galaxy stamps the time of the
build and lists files in the order the file system gives them."""

import gzip
import hashlib
import io
import json
import os
import sys
import tarfile


def dumped(value):
    # As ansible-galaxy writes them.
    return json.dumps(value, indent=True).encode()


def main(built, out):
    stamp = int(os.environ.get('SOURCE_DATE_EPOCH', '0'))
    with tarfile.open(built) as source:
        members = [(m, source.extractfile(m).read() if m.isfile() else None) for m in source.getmembers()]
    contents = dict((m.name, data) for m, data in members)
    files = json.loads(contents['FILES.json'])
    files['files'].sort(key=lambda entry: entry['name'])
    contents['FILES.json'] = dumped(files)
    manifest = json.loads(contents['MANIFEST.json'])
    manifest['file_manifest_file']['chksum_sha256'] = hashlib.sha256(contents['FILES.json']).hexdigest()
    contents['MANIFEST.json'] = dumped(manifest)

    first = ['MANIFEST.json', 'FILES.json']
    order = first + sorted(m.name for m, dummy in members if m.name not in first)
    by_name = dict((m.name, m) for m, dummy in members)
    tar_bytes = io.BytesIO()
    with tarfile.open(fileobj=tar_bytes, mode='w', format=tarfile.PAX_FORMAT) as tar:
        for name in order:
            member = by_name[name]
            member.mtime = stamp
            member.uid = member.gid = 0
            member.uname = member.gname = ''
            member.pax_headers = {}   # a time of its own would stand there
            data = contents[name]
            if data is None:
                tar.addfile(member)
            else:
                member.size = len(data)
                tar.addfile(member, io.BytesIO(data))
    with open(out, 'wb') as file, gzip.GzipFile(filename='', mode='wb', fileobj=file, mtime=0,
                                                compresslevel=9) as packed:
        packed.write(tar_bytes.getvalue())


if __name__ == '__main__':
    main(sys.argv[1], sys.argv[2])
