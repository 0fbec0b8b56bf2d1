#!/usr/bin/env python3
"""CollectionTest.py TARBALL TAGDESK_CLI READERSIM: the collection tagdesk.readers
installed from its tarball and run by ansible-playbook, as a controller runs it,
against two sites of readersims on loopback addresses, each site's gateway a
host of the inventory that runs locally. Exits 77 (skipped), saying why, where
ansible-core is missing."""

import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

tarball, cli, readersim = sys.argv[1:4]
problems = []


def check(holds, what):
    if not holds:
        problems.append(what)
        print('FAILED: ' + what)


for tool in ('ansible-playbook', 'ansible-galaxy', 'ansible-doc', 'ansible-vault', 'ansible-test'):
    if not shutil.which(tool):
        print('SKIPPED: no %s (scripts/install-deps.sh test installs ansible-core)' % tool)
        sys.exit(77)
if not os.path.isfile(tarball):
    sys.exit('no collection tarball at %s: the build did not make it' % tarball)

run = tempfile.mkdtemp(prefix='tagdesk-ansible-')
env = dict(os.environ, HOME=run, ANSIBLE_COLLECTIONS_PATH=run + '/collections', ANSIBLE_NOCOLOR='1',
           ANSIBLE_LOCAL_TEMP=run + '/tmp', ANSIBLE_REMOTE_TEMP=run + '/remote-tmp',
           ANSIBLE_CALLBACKS_ENABLED='ansible.builtin.tree', ANSIBLE_LOAD_CALLBACK_PLUGINS='1', ANSIBLE_RETRY_FILES_ENABLED='0', LC_ALL='C.UTF-8',
           PATH=os.path.dirname(cli) + os.pathsep + os.environ['PATH'])   # the modules find tagdesk-cli on PATH
sims = []


def start_sim(name, addresses):
    """A readersim at addresses (a range is a fleet), a state file a reader; its TCP port."""
    sim = subprocess.Popen([readersim, '--no-pty', '--tcp', addresses + ':0', '--state', '%s/%s.mem' % (run, name)],
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    sims.append(sim)
    port = None
    for line in sim.stdout:
        port = line.rsplit(':', 1)[1].strip() if line.startswith('tcp ') else port
        if line.strip() == 'ready':
            return sim, port
    sys.exit('readersim at %s did not start' % addresses)


def memory(ports):
    """Each reader's state file (a fleet's NAME.mem.ADDRESS, a lone reader's NAME.mem): its memory, byte for byte."""
    files = {}
    for port in ports:
        with open(states[port], 'rb') as state:
            files[port] = state.read()
    return files


def ansible(command, *args):
    """Runs ansible-playbook or ansible (ad hoc) on the inventory: its exit
    status, each host's last result (the tree callback's files) and its output."""
    tree = tempfile.mkdtemp(dir=run)
    done = subprocess.run([command, '-i', 'inventory.json'] + list(args), cwd=run, capture_output=True, text=True,
                          env=dict(env, ANSIBLE_CALLBACK_TREE_DIR=tree))
    hosts = {}
    for host in os.listdir(tree):
        with open(os.path.join(tree, host)) as result:
            hosts[host] = json.load(result)
    return done.returncode, hosts, done.stdout + done.stderr


def recap(output, host):
    """The failures the recap counts for host."""
    found = re.search(r'^%s +:.* failed=(\d+)' % host, output, re.M)
    return int(found.group(1)) if found else None


try:
    subprocess.run(['ansible-galaxy', 'collection', 'install', '-p', run + '/collections', tarball], env=env,
                   check=True, capture_output=True)
    for module in ('profile', 'reader_info', 'scan'):
        doc = subprocess.run(['ansible-doc', 'tagdesk.readers.' + module], env=env, capture_output=True, text=True)
        check(doc.returncode == 0 and '> TAGDESK.READERS.%s' % module.upper() in doc.stdout
              and 'EXAMPLES:' in doc.stdout and 'RETURN VALUES:' in doc.stdout,
              'ansible-doc renders %s: %s' % (module, doc.stderr.strip()))

    # Site A: three readers of one readersim. Site B: two of one, and a third
    # alone, stopped later by its process id.
    dummy, port_a = start_sim('a', '127.91.0.1-127.91.0.3')
    dummy, port_b = start_sim('b', '127.91.1.1-127.91.1.2')
    sim_b3, port_b3 = start_sim('b3', '127.91.1.3')
    a1, a2, a3 = ['tcp:127.91.0.%d:%s' % (n, port_a) for n in (1, 2, 3)]
    b1, b2, b3 = 'tcp:127.91.1.1:' + port_b, 'tcp:127.91.1.2:' + port_b, 'tcp:127.91.1.3:' + port_b3
    every = [a1, a2, a3, b1, b2, b3]
    states = dict([(p, '%s/a.mem.%s' % (run, p.split(':')[1])) for p in (a1, a2, a3)]
                  + [(p, '%s/b.mem.%s' % (run, p.split(':')[1])) for p in (b1, b2)] + [(b3, run + '/b3.mem')])
    # Each reader's own values from the inventory; a3 has none, so it keeps its own.
    inventory = {'all': {
        'vars': {'ansible_connection': 'local', 'ansible_python_interpreter': '/usr/bin/python3'},
        'children': {
            'site_a': {'hosts': {'gateway_a': {'tagdesk_readers': [
                {'port': a1, 'ip_address': '10.91.0.1', 'reader_number': 1},
                {'port': a2, 'ip_address': '10.91.0.2', 'reader_number': 2}, a3]}}},
            'site_b': {'hosts': {'gateway_b': {'tagdesk_readers': [
                {'port': b, 'ip_address': '10.91.1.%d' % n, 'reader_number': 10 + n}
                for n, b in ((1, b1), (2, b2), (3, b3))]}}}}}}
    with open(run + '/inventory.json', 'w') as out:
        json.dump(inventory, out)
    with open(run + '/apply.yml', 'w') as out:
        out.write('- hosts: all\n  gather_facts: false\n  tasks:\n'
                  '    - name: apply\n      tagdesk.readers.profile:\n'
                  '        src: "{{ profile }}"\n        remote_src: "{{ remote | default(false) }}"\n'
                  '        readers: "{{ tagdesk_readers }}"\n')
    # A whole profile read from a1 (its MAC address, IP address and number in
    # it), with another power: x.toml; y.toml another again, also vault-encrypted.
    read = subprocess.run([cli, 'read', '--port', a1], capture_output=True, text=True, check=True).stdout
    for name, power in (('x.toml', '27.5'), ('y.toml', '25'), ('y.vault', '25')):
        with open(os.path.join(run, name), 'w') as out:
            out.write(re.sub(r'channel1_power = "[^"]*"', 'channel1_power = "%s"' % power, read))
    with open(run + '/password', 'w') as out:
        out.write('tagdesk\n')
    subprocess.run(['ansible-vault', 'encrypt', '--vault-password-file', 'password', 'y.vault'], cwd=run,
                   env=env, check=True, capture_output=True)

    def readers_changed(result):
        return dict((r['port'], r['changed']) for r in result.get('readers', []))

    # Every run: (what, playbook arguments, exit status, {host: changed or 'failed'}, readers changed).
    runs = [
        ('first run changes every reader', ['apply.yml', '-e', 'profile=x.toml'], 0,
         {'gateway_a': True, 'gateway_b': True}, dict((p, True) for p in every)),
        ('the same run again changes nothing', ['apply.yml', '-e', 'profile=x.toml'], 0,
         {'gateway_a': False, 'gateway_b': False}, dict((p, False) for p in every)),
        ('check mode of a vault-encrypted profile reports every reader', ['apply.yml', '-e', 'profile=y.vault',
         '--check', '--diff', '--vault-password-file', 'password'], 0,
         {'gateway_a': True, 'gateway_b': True}, dict((p, True) for p in every)),
    ]
    for what, args, status, hosts, changed in runs:
        before = memory(every) if '--check' in args else None
        rc, applied, output = ansible('ansible-playbook', *args)
        check(rc == status, '%s: exit status %d, not %d: %s' % (what, rc, status, output))
        for host, expected in hosts.items():
            check(applied.get(host, {}).get('changed') == expected, '%s: %s changed is not %s' % (what, host, expected))
        got = {}
        for result in applied.values():
            got.update(readers_changed(result))
        check(got == changed, '%s: readers changed %s' % (what, got))
        if before is not None:
            check(memory(every) == before, what + ': a reader\'s memory changed in check mode')
            check(output.count('\n-antenna_power.channel1_power = "27.5"\n+antenna_power.channel1_power = "25"\n') == 6,
                  what + ': the diff shows each reader\'s power before and after: ' + output)

    # Each reader's own values went to it alone; a3, without any, kept its own.
    held = memory(every)
    for port, address, number in ((a1, '10.91.0.1', 1), (b3, '10.91.1.3', 13), (a3, '127.91.0.3', 1)):
        check(held[port][12:16] == bytes(int(n) for n in address.split('.')) and held[port][100] == number,
              '%s holds IP address %s and reader number %d' % (port, address, number))

    # One reader down fails its site's task, naming it, and no other.
    sim_b3.terminate()
    sim_b3.wait()
    rc, applied, output = ansible('ansible-playbook', 'apply.yml', '-e', 'profile=%s/y.toml' % run, '-e', 'remote=true')
    site_b = applied.get('gateway_b', {})
    check(rc == 2, 'a reader down: exit status %d, not 2' % rc)
    check(recap(output, 'gateway_a') == 0 and recap(output, 'gateway_b') == 1, 'a reader down: the recap: ' + output)
    check(applied.get('gateway_a', {}).get('changed') is True and not applied['gateway_a'].get('failed'),
          'a reader down: the other site is written')
    check([f['port'] for f in site_b.get('failed_readers', [])] == [b3]
          and 'connection refused' in site_b['failed_readers'][0]['why'] and b3 in site_b.get('msg', ''),
          'a reader down: its site fails naming it and why: %s' % site_b.get('msg'))
    check(readers_changed(site_b) == {b1: True, b2: True, b3: False}, 'a reader down: the others of its site are written')

    rc, hosts, output = ansible('ansible', 'gateway_a', '-m', 'tagdesk.readers.reader_info',
                                '-a', '{"readers": "{{ tagdesk_readers }}"}')
    info = hosts.get('gateway_a', {})
    profiles = info.get('profiles', {})
    check(rc == 0 and sorted(profiles) == sorted([a1, a2, a3]), 'reader_info reads every reader: %s' % info)
    check(profiles.get(a1, {}).get('antenna_power', {}).get('channel1_power') == '25'
          and profiles.get(a1, {}).get('communication_port', {}).get('ip_address') == '10.91.0.1'
          and profiles.get(a3, {}).get('communication_port', {}).get('ip_address') == '127.91.0.3',
          'reader_info gives each reader\'s values by section')
    rc, hosts, output = ansible('ansible', 'gateway_a', '-m', 'tagdesk.readers.scan', '-a',
                                '{"ports": ["tcp:127.91.0.1-127.91.0.9:%s"], "station": "1"}' % port_a)
    found = hosts.get('gateway_a', {}).get('found', [])
    check(sorted(f['port'] for f in found) == sorted([a1, a2, a3]), 'scan finds site A\'s readers: %s' % found)

    # ansible-test's sanity tests that run offline. The others install pinned
    # requirements from PyPI into a virtual environment first, which cannot be
    # reached here: ansible-doc (rendered above instead), import, pep8, pylint,
    # runtime-metadata, validate-modules, yamllint.
    needs_pypi = ['ansible-doc', 'import', 'pep8', 'pylint', 'runtime-metadata', 'validate-modules', 'yamllint']
    sanity = subprocess.run(['ansible-test', 'sanity', '--local', '--python', '%d.%d' % sys.version_info[:2]]
                            + [a for test in needs_pypi for a in ('--skip-test', test)],
                            cwd=run + '/collections/ansible_collections/tagdesk/readers', env=env,
                            capture_output=True, text=True)
    check(sanity.returncode == 0 and 'Running sanity test "compile"' in sanity.stdout,
          'ansible-test sanity: %s%s' % (sanity.stdout[-2000:], sanity.stderr[-2000:]))
    print('ansible-test sanity skipped, as they need PyPI: ' + ', '.join(needs_pypi))
finally:
    for sim in sims:
        if sim.poll() is None:
            sim.terminate()
            sim.wait()
    shutil.rmtree(run, ignore_errors=True)

print('%d passed, %d failed' % (1 if not problems else 0, 1 if problems else 0))
sys.exit(1 if problems else 0)
